#!/usr/bin/env python3
"""Checks the built package's tables against what Windows Installer needs to install, repair,
upgrade and roll back Halcyra the way administrators expect (msitools' msiinfo, no Wine).
Usage: check_msi.py PACKAGE VERSION. Prints each fault; exits non-zero when there is one."""
import subprocess
import sys

# Custom action type bits.
IN_SCRIPT, ROLLBACK, COMMIT, NO_IMPERSONATE = 0x400, 0x100, 0x200, 0x800
# ServiceControl events: start at install, stop at install and removal, delete at removal.
START_INSTALL, STOP_BOTH, DELETE_UNINSTALL = 0x1, 0x2 | 0x20, 0x80


def table(package, name):
    """The rows of a table as dictionaries; an empty list for a table the package lacks."""
    result = subprocess.run(["msiinfo", "export", package, name], capture_output=True, text=True)
    if result.returncode != 0:
        return []
    lines = result.stdout.split("\r\n") if "\r\n" in result.stdout else result.stdout.split("\n")
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:] if line]


def main():
    package, version = sys.argv[1], sys.argv[2]
    faults = []
    check = lambda ok, text: ok or faults.append(text)

    properties = {row["Property"]: row["Value"] for row in table(package, "Property")}
    secure = properties.get("SecureCustomProperties", "").split(";")
    # An administrator's choices: a standard user's elevated repair must not pass them.
    for name in ("SETTINGS", "SETTINGS_OVERWRITE", "SHARED_SETTINGS"):
        check(name not in secure, f"{name} is a secure property")
    check(properties.get("ARPNOMODIFY") == "1", "ARPNOMODIFY is not set")
    # An upgrade closes the running tray program through the Restart Manager and restarts it.
    check(properties.get("MSIRESTARTMANAGERCONTROL") == "0", "the Restart Manager is not used")
    check(properties.get("MSIDISABLERMRESTART") == "0", "closed programs are not restarted")

    shortcuts = table(package, "Shortcut")
    check(len(shortcuts) == 1, "one Start-menu shortcut expected")
    for shortcut in shortcuts:
        check(shortcut["Target"] == "[#Halcyra.exe]", "the shortcut is advertised or misses Halcyra.exe")
        check(shortcut["Icon_"] != "", "the shortcut has no icon")

    files = {row["File"]: row for row in table(package, "File")}
    components = {row["Component"]: row for row in table(package, "Component")}
    for name in ("Halcyra.exe", "ShutdownService.exe", "HalcyraCmd.exe"):
        row = files.get(name)
        check(row is not None, f"{name} is not in the package")
        if row:
            check(row["Version"] == version + ".0", f"{name} has no version {version}.0")
            check(row["Language"] != "", f"{name} has no language")
    for name, row in files.items():
        component = components.get(row["Component_"], {})
        check(component.get("KeyPath") == name, f"{name} is not the key path of its component")

    services = table(package, "ServiceInstall")
    check(len(services) == 1, "the service is not in ServiceInstall")
    for service in services:
        check(service["Name"] == "Halcyra_Service", "the service has another name")
        check(service["StartName"] == "NT AUTHORITY\\LocalService", "the service is not LocalService")
        check(int(service["StartType"]) == 2, "the service does not start automatically")
        check(int(service["ErrorControl"]) & 0x8000, "the service's installation is not vital")
    controls = table(package, "ServiceControl")
    check(len(controls) == 1, "no ServiceControl row")
    for control in controls:
        events = int(control["Event"])
        check(events & START_INSTALL and events & STOP_BOTH == STOP_BOTH
              and events & DELETE_UNINSTALL, "the service is not started, stopped and removed")
    configs = {int(row["ConfigType"]): row["Argument"] for row in table(package, "MsiServiceConfig")}
    check(configs.get(3) == "1", "no delayed automatic start")
    check(configs.get(5) == "1", "no unrestricted service SID")
    check(configs.get(6) == "SeShutdownPrivilege", "the required privilege is not the shutdown one")
    failures = table(package, "MsiServiceConfigFailureActions")
    check(len(failures) == 1 and failures[0]["Actions"].startswith("1[~]1"),
          "no restart after a failure")
    check(any(row["Table"] == "ServiceInstall" for row in table(package, "MsiLockPermissionsEx")),
          "interactive users get no rights on the service")

    custom = {row["Action"]: row for row in table(package, "CustomAction")}
    actions = {name: int(row["Type"]) for name, row in custom.items()}
    executed = table(package, "InstallExecuteSequence")
    sequence = {row["Action"]: int(row["Sequence"]) for row in executed if row["Sequence"]}
    conditions = {row["Action"]: row["Condition"] for row in executed}
    rollbacks = [sequence[a] for a, t in actions.items() if t & ROLLBACK and a in sequence]
    # The prepared settings: read by an immediate action, so as the installing user, and only on
    # a first installation or a major upgrade; no action of the script gets the path itself.
    reader = actions.get("ReadPreparedSettings", IN_SCRIPT)
    check(not reader & (IN_SCRIPT | NO_IMPERSONATE),
          "the prepared settings are not read as the installing user")
    check("NOT Installed" in conditions.get("ReadPreparedSettings", ""),
          "the prepared settings are read on a repair or maintenance too")
    check(sequence.get("SetPrepareDataFolder", 0) < sequence.get("ReadPreparedSettings", 0)
          < sequence.get("PrepareDataFolder", 0), "the prepared settings are read out of order")
    for name, row in custom.items():
        check("[SETTINGS]" not in row["Target"], f"{name} hands the path of SETTINGS on")
    # The install folder is checked as the system before a file goes in.
    check(actions.get("CheckInstallFolder", 0) & (IN_SCRIPT | NO_IMPERSONATE)
          == IN_SCRIPT | NO_IMPERSONATE and sequence.get("CheckInstallFolder", 9999) < sequence.get("InstallFiles", 0),
          "INSTALLDIR is not checked before the files go in")
    check(any(row["Name"] == "SharedSettings" and row["Value"] == "[SHARED_SETTINGS]"
              for row in table(package, "Registry"))
          and any(row["Property"] == "SHARED_SETTINGS_REMEMBERED"
                  for row in table(package, "AppSearch")),
          "SHARED_SETTINGS is not remembered across upgrades")
    # A check that changes nothing needs nothing undone.
    changes_nothing = {"CheckInstallFolder"}
    for action, kind in actions.items():
        if action in changes_nothing:
            continue
        if kind & IN_SCRIPT and not kind & (ROLLBACK | COMMIT) and kind & NO_IMPERSONATE:
            check(any(r < sequence.get(action, 0) for r in rollbacks),
                  f"the deferred action {action} has no rollback before it")
            check(sequence.get(action, 0) < sequence.get("InstallFinalize", 0),
                  f"the deferred action {action} comes after InstallFinalize")

    upgrades = [row for row in table(package, "Upgrade") if row["ActionProperty"] == "WIX_UPGRADE_DETECTED"]
    check(len(upgrades) == 1, "one Upgrade row for earlier versions expected")
    for row in upgrades:
        check(row["VersionMax"] == version and not int(row["Attributes"]) & 0x200,
              "the Upgrade row matches this very version (ICE61)")

    registry = {row["Name"]: row for row in table(package, "Registry")}
    source = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Halcyra_Service"
    check(registry.get("EventMessageFile", {}).get("Key") == source
          and "[#ShutdownService.exe]" in registry["EventMessageFile"]["Value"],
          "the event source's message file is not registered")
    check(registry.get("TypesSupported", {}).get("Value") == "#7",
          "the event source's types are not registered")

    environment = table(package, "Environment")
    check(any(row["Name"].endswith("PATH") and "[INSTALLDIR]" in row["Value"] for row in environment),
          "HalcyraCmd's folder is not put on the PATH")
    check("WriteEnvironmentStrings" in sequence, "the PATH is never written")

    for fault in faults:
        print(fault)
    print(f"{len(faults)} faults in {package}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
