// Process-wide flags that more than one window reads.
#pragma once

namespace halcyra {

struct ProcessState {
  // True only in the process that wrote the first-start record on an edition "Vista".
  bool firstRunOnVista = false;
};

}  // namespace halcyra
