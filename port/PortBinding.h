// How binding the port library went: the one outcome the panel, PortCheck
// and the driver diagnosis share.
#pragma once

enum class PortBinding {
    Bound,             // both entry points resolved, and the driver is open (or not reported)
    NoLibrary,         // no "inpout32.dll" that loads in the program's folder or the system folder
    NoInp32,           // loaded, but no "Inp32"; "Out32" is then not looked for
    NoOut32,           // "Inp32" resolved, no "Out32"
    DriverNotRunning,  // complete, but the library says its kernel driver is not open
};
