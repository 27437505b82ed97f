# The rows wixl cannot write or drops, put right in the built package with msibuild. Run as a
# script: cmake -DMSI=<package> -DMSIBUILD=<msibuild> -DVERSION=<x.y.z> -DUPGRADE_CODE=<guid>.

function(msi_query query)
  execute_process(COMMAND ${MSIBUILD} ${MSI} -q "${query}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "msibuild refused: ${query}")
  endif()
endfunction()

# The version of the programs as their version resources give it.
set(FILE_VERSION ${VERSION}.0)

# wixl removes the old version after the new files are in; the old package's removal would then
# remove the service the new one just registered. It goes first instead.
msi_query("UPDATE InstallExecuteSequence SET Sequence=1501 WHERE Action='RemoveExistingProducts'")

# The Upgrade row finds earlier versions only, never this one (ICE61).
msi_query("DELETE FROM Upgrade WHERE ActionProperty='WIX_UPGRADE_DETECTED'")
msi_query("INSERT INTO Upgrade (UpgradeCode, VersionMax, Attributes, ActionProperty) VALUES ('${UPGRADE_CODE}', '${VERSION}', 1, 'WIX_UPGRADE_DETECTED')")

# Only the upgrade's own properties are secure: SETTINGS, SETTINGS_OVERWRITE and SHARED_SETTINGS
# are an administrator's, and an elevated installation that a standard user starts must drop them.
msi_query("UPDATE Property SET Value='WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' WHERE Property='SecureCustomProperties'")

# wixl drops Advertise="no": an advertised shortcut has no icon and checks the feature at each
# start, asking a standard user for administrator rights to repair it.
msi_query("UPDATE Shortcut SET Target='[#Halcyra.exe]', Icon_='Halcyra.ico', IconIndex=0 WHERE Shortcut='StartMenuShortcut'")

# Versioned files: repair and upgrade compare these with the installed files.
foreach(file IN ITEMS Halcyra.exe ShutdownService.exe HalcyraCmd.exe)
  msi_query("UPDATE File SET Version='${FILE_VERSION}', Language='1033' WHERE File='${file}'")
endforeach()

# A service that cannot be registered fails the installation (msidbServiceInstallErrorControlVital).
msi_query("UPDATE ServiceInstall SET ErrorControl=32769 WHERE ServiceInstall='CompanionService'")

# The service's optional settings, applied by the installer at install and repair (event 1 + 4):
# delayed automatic start (3), failure actions also after a stop with an error code (4), its
# own unrestricted SID (5), and the shutdown privilege as its only privilege (6).
msi_query("CREATE TABLE `MsiServiceConfig` (`MsiServiceConfig` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL, `Event` SHORT NOT NULL, `ConfigType` LONG NOT NULL, `Argument` CHAR(0), `Component_` CHAR(72) NOT NULL PRIMARY KEY `MsiServiceConfig`)")
foreach(row IN ITEMS "DelayedStart|3|1" "FailureActionsFlag|4|1" "ServiceSid|5|1"
                     "Privileges|6|SeShutdownPrivilege")
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 id)
  list(GET fields 1 type)
  list(GET fields 2 argument)
  msi_query("INSERT INTO `MsiServiceConfig` (`MsiServiceConfig`, `Name`, `Event`, `ConfigType`, `Argument`, `Component_`) VALUES ('${id}', 'Halcyra_Service', 5, ${type}, '${argument}', 'CompanionService')")
endforeach()

# Restart after a minute, twice; the count starts again after a day without failure.
msi_query("CREATE TABLE `MsiServiceConfigFailureActions` (`MsiServiceConfigFailureActions` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL, `Event` SHORT NOT NULL, `ResetPeriod` LONG, `RebootMessage` CHAR(255), `Command` CHAR(255), `Actions` CHAR(255), `DelayActions` CHAR(255), `Component_` CHAR(72) NOT NULL PRIMARY KEY `MsiServiceConfigFailureActions`)")
msi_query("INSERT INTO `MsiServiceConfigFailureActions` (`MsiServiceConfigFailureActions`, `Name`, `Event`, `ResetPeriod`, `Actions`, `DelayActions`, `Component_`) VALUES ('Restart', 'Halcyra_Service', 5, 86400, '1[~]1[~]0', '60000[~]60000[~]0', 'CompanionService')")

# Interactive users may start, stop, query and interrogate the service (the tray program's OK),
# as /INSTALL grants them.
msi_query("CREATE TABLE `MsiLockPermissionsEx` (`MsiLockPermissionsEx` CHAR(72) NOT NULL, `LockObject` CHAR(72) NOT NULL, `Table` CHAR(32) NOT NULL, `SDDLText` CHAR(0) NOT NULL, `Condition` CHAR(255) PRIMARY KEY `MsiLockPermissionsEx`)")
msi_query("INSERT INTO `MsiLockPermissionsEx` (`MsiLockPermissionsEx`, `LockObject`, `Table`, `SDDLText`) VALUES ('ServiceRights', 'CompanionService', 'ServiceInstall', 'D:(A;;CCLCSWRPWPDTLOCRRC;;;SY)(A;;CCDCLCSWRPWPDTLOCRSDRCWDWO;;;BA)(A;;CCLCSWLOCRRC;;;AU)(A;;CCLCSWRPWPDTLOCRRC;;;IU)')")

# wixl places custom actions after InstallFinalize and drops Execute="rollback" and "commit".
# SHARED_SETTINGS is recalled right after the search that finds it. The install folder is
# checked before any file goes in. The data folder is prepared after the files and before the
# service starts; its rollback comes first in the script, so it also runs when the preparation
# itself fails.
foreach(row IN ITEMS "RecallSharedSettings|51" "DefaultSharedSettings|52"
                     "SetInstallLocation|1001" "SetCheckInstallFolder|3901"
                     "CheckInstallFolder|3902" "SetPrepareDataFolder|4001"
                     "ReadPreparedSettings|4002" "RollBackDataFolder|4003"
                     "PrepareDataFolder|4004" "CommitDataFolder|4005")
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 action)
  list(GET fields 1 sequence)
  msi_query("UPDATE InstallExecuteSequence SET Sequence=${sequence} WHERE Action='${action}'")
endforeach()
# A DLL (1) in the script (1024) as the system (2048), its result ignored (64): rollback (256)
# and commit (512).
msi_query("UPDATE CustomAction SET Type=3393 WHERE Action='RollBackDataFolder'")
msi_query("UPDATE CustomAction SET Type=3649 WHERE Action='CommitDataFolder'")
# wixl marks every action "no impersonation"; the prepared settings are read as the installing
# user: a DLL (1), immediate, impersonated.
msi_query("UPDATE CustomAction SET Type=1 WHERE Action='ReadPreparedSettings'")

# wixl writes Type="expandable" as a plain string.
msi_query("UPDATE Registry SET Value='#%[#ShutdownService.exe]' WHERE Name='EventMessageFile'")

# HalcyraCmd's folder at the end of the system PATH while it is installed ("=" set at install,
# "-" removed at removal, "*" the system's variable; "[~];" appends to what is there).
msi_query("CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL, `Value` CHAR(255), `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)")
msi_query("INSERT INTO `Environment` (`Environment`, `Name`, `Value`, `Component_`) VALUES ('PathEntry', '=-*PATH', '[~];[INSTALLDIR]', 'CommandLine')")
msi_query("INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveEnvironmentStrings', 3300)")
msi_query("INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteEnvironmentStrings', 5200)")
