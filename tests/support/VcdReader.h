// A strict reader of Value Change Dumps (IEEE 1364, section 18: the
// four-state VCD), for tests of what PortCheck writes. It takes what the
// standard's grammar allows and refuses the rest, naming the line:
// - text is printable ASCII, tokens apart by spaces, tabs and line ends;
// - the header holds $comment, $date, $version, $timescale (1, 10 or 100
//   of s, ms, us, ns, ps, fs), $scope (begin, fork, function, module,
//   task), $upscope and $var, then $enddefinitions with every scope closed
//   and at least one variable; each command ends in its own $end;
// - a $var has a known type, a size from 1, an identifier code of
//   printable characters (other than "$end"), and a reference (a letter or '_', then letters,
//   digits, '_' or '$'), with a bit select "[n]" or "[m:n]" at most; it
//   stands inside a scope; a code declared again has the same size;
// - then: #time (decimal, never earlier than the time before), $dumpvars,
//   $dumpall, $dumpon or $dumpoff holding value changes only, $comment,
//   and value changes: 0, 1, x or z joined to a declared code of size 1,
//   b followed by at most size digits of 0, 1, x, z and then the code, or
//   r, a real number, and the code of a real variable;
// - no value change comes before the first time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vcd {

struct Variable {
    std::string type;       // "wire", "reg", ...
    int size = 0;
    std::string code;       // the identifier code its changes name
    std::string reference;  // the name, with its bit select if any
    std::string scope;      // the scopes it stands in, as "top.port"
};

struct Change {
    int64_t time = 0;
    std::string code;
    std::string value;  // "0", "1", "x", "z", "b0101" or "r1.5", lower case
};

struct Dump {
    std::string timescale;  // "1 us"
    std::vector<Variable> variables;
    std::vector<int64_t> times;    // every #time, in the file's order
    std::vector<Change> changes;   // those of $dumpvars and the like too
    std::vector<std::string> comments;
};

// False, with what is wrong as "line N: ..." in *error, for text that is not
// a VCD; *dump then holds what was read up to there.
bool ReadVcd(const std::string& text, Dump* dump, std::string* error);

}  // namespace vcd
