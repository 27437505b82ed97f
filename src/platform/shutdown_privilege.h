// The shutdown privilege of the process's access token.
#pragma once

namespace halcyra {

class ShutdownPrivilege {
 public:
  virtual ~ShutdownPrivilege() = default;
  // Asks for the privilege; nothing is reported whether it is granted or not.
  virtual void EnableShutdownPrivilege() = 0;
};

}  // namespace halcyra
