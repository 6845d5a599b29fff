#include "VcdReader.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace vcd {

namespace {

struct Token {
    std::string text;
    int line = 0;
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsPrintable(char c) { return c >= '!' && c <= '~'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool OneOf(const std::string& word, std::initializer_list<const char*> words) {
    return std::any_of(words.begin(), words.end(), [&](const char* w) { return word == w; });
}

// A decimal number without sign, as large as int64_t holds.
bool ReadDecimal(const std::string& text, int64_t* value) {
    if (text.empty() || text.size() > 18 || !std::all_of(text.begin(), text.end(), IsDigit)) return false;
    *value = std::stoll(text);
    return true;
}

// A real as the standard's printf "%.16g" gives it: sign, digits, point,
// digits, exponent; at least one digit before the exponent.
bool IsReal(const std::string& text) {
    size_t i = 0, digits = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    for (; i < text.size() && IsDigit(text[i]); ++i) ++digits;
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && IsDigit(text[i]); ++i) ++digits;
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        size_t exponent = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i) ++exponent;
        if (exponent == 0) return false;
    }
    return i == text.size();
}

bool IsReference(const std::string& text) {
    if (text.empty() || !(IsLetter(text[0]) || text[0] == '_')) return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return IsLetter(c) || IsDigit(c) || c == '_' || c == '$'; });
}

// "[n]" or "[m:n]".
bool IsBitSelect(const std::string& text) {
    if (text.size() < 3 || text.front() != '[' || text.back() != ']') return false;
    const std::string inside = text.substr(1, text.size() - 2);
    const size_t colon = inside.find(':');
    int64_t unused = 0;
    if (colon == std::string::npos) return ReadDecimal(inside, &unused);
    return ReadDecimal(inside.substr(0, colon), &unused) && ReadDecimal(inside.substr(colon + 1), &unused);
}

class Reader {
public:
    Reader(Dump* dump, std::string* error) : dump_(dump), error_(error) {}

    bool Read(const std::string& text) {
        if (!Split(text)) return false;
        while (at_ < tokens_.size() && !ended_)
            if (!Declaration()) return false;
        if (!ended_) return FailAtEnd("no $enddefinitions");
        while (at_ < tokens_.size())
            if (!Simulation()) return false;
        return true;
    }

private:
    bool Split(const std::string& text) {
        int line = 1;
        for (size_t i = 0; i < text.size();) {
            if (text[i] == '\n') ++line;
            if (IsSpace(text[i])) {
                ++i;
                continue;
            }
            if (!IsPrintable(text[i])) return Fail(line, "a byte that is neither printable ASCII nor white space");
            const size_t start = i;
            while (i < text.size() && IsPrintable(text[i])) ++i;
            tokens_.push_back({text.substr(start, i - start), line});
        }
        return true;
    }

    bool Fail(int line, const std::string& what) {
        *error_ = "line " + std::to_string(line) + ": " + what;
        return false;
    }
    bool FailAt(const Token& token, const std::string& what) { return Fail(token.line, what + " ('" + token.text + "')"); }
    bool FailAtEnd(const std::string& what) {
        return Fail(tokens_.empty() ? 1 : tokens_.back().line, what + " at the end of the file");
    }

    // The next token; false at the end of the file, inside `command`.
    bool Next(const char* command, Token* token) {
        if (at_ == tokens_.size()) return FailAtEnd(std::string(command) + " without its $end");
        *token = tokens_[at_++];
        return true;
    }
    bool ExpectEnd(const char* command) {
        Token token;
        if (!Next(command, &token)) return false;
        return token.text == "$end" || FailAt(token, std::string(command) + " has more than it takes");
    }
    // Free text up to $end.
    bool Text(const char* command, std::string* text) {
        for (Token token; Next(command, &token);) {
            if (token.text == "$end") return true;
            *text += (text->empty() ? "" : " ") + token.text;
        }
        return false;
    }

    bool Declaration() {
        const Token command = tokens_[at_++];
        const std::string& c = command.text;
        if (c == "$comment") return Comment();
        if (c == "$date" || c == "$version") {
            if (seen_[c]++) return FailAt(command, "a second one");
            std::string unused;
            return Text(c.c_str(), &unused);
        }
        if (c == "$timescale") return Timescale(command);
        if (c == "$scope") return Scope();
        if (c == "$upscope") {
            if (scopes_.empty()) return FailAt(command, "no scope open");
            scopes_.pop_back();
            return ExpectEnd("$upscope");
        }
        if (c == "$var") return Var(command);
        if (c == "$enddefinitions") {
            if (!scopes_.empty()) return FailAt(command, "scope " + scopes_.back() + " still open");
            if (dump_->variables.empty()) return FailAt(command, "no variable declared");
            ended_ = true;
            return ExpectEnd("$enddefinitions");
        }
        return FailAt(command, "not a declaration");
    }

    bool Comment() {
        std::string text;
        if (!Text("$comment", &text)) return false;
        dump_->comments.push_back(text);
        return true;
    }

    bool Timescale(const Token& command) {
        if (seen_["$timescale"]++) return FailAt(command, "a second one");
        Token token;
        if (!Next("$timescale", &token)) return false;
        std::string number = token.text, unit;
        const size_t split = std::find_if(number.begin(), number.end(), IsLetter) - number.begin();
        unit = number.substr(split);
        number.resize(split);
        if (unit.empty()) {
            if (!Next("$timescale", &token)) return false;
            unit = token.text;
        }
        if (!OneOf(number, {"1", "10", "100"}) || !OneOf(unit, {"s", "ms", "us", "ns", "ps", "fs"}))
            return FailAt(token, "not a time scale");
        dump_->timescale = number + " " + unit;
        return ExpectEnd("$timescale");
    }

    bool Scope() {
        Token type, name;
        if (!Next("$scope", &type) || !Next("$scope", &name)) return false;
        if (!OneOf(type.text, {"begin", "fork", "function", "module", "task"})) return FailAt(type, "not a scope type");
        if (!IsReference(name.text)) return FailAt(name, "not a scope name");
        scopes_.push_back(name.text);
        return ExpectEnd("$scope");
    }

    bool Var(const Token& command) {
        Variable v;
        Token type, size, code, reference;
        if (!Next("$var", &type) || !Next("$var", &size) || !Next("$var", &code) || !Next("$var", &reference))
            return false;
        if (!OneOf(type.text, {"event", "integer", "parameter", "real", "realtime", "reg", "supply0", "supply1",
                               "time", "tri", "triand", "trior", "trireg", "tri0", "tri1", "wand", "wire", "wor"}))
            return FailAt(type, "not a variable type");
        int64_t bits = 0;
        if (!ReadDecimal(size.text, &bits) || bits < 1 || bits > 1 << 20) return FailAt(size, "not a size");
        // Any printable characters ('$' too: a dump of many variables has
        // codes such as "$#"), but not the token that ends the command.
        if (code.text == "$end") return FailAt(code, "not an identifier code");
        if (!IsReference(reference.text)) return FailAt(reference, "not a reference");
        if (scopes_.empty()) return FailAt(command, "a variable outside every scope");
        v.type = type.text;
        v.size = static_cast<int>(bits);
        v.code = code.text;
        v.reference = reference.text;
        for (const std::string& scope : scopes_) v.scope += (v.scope.empty() ? "" : ".") + scope;
        Token token;
        if (!Next("$var", &token)) return false;
        if (token.text != "$end") {
            if (!IsBitSelect(token.text)) return FailAt(token, "not a bit select");
            v.reference += token.text;
            if (!ExpectEnd("$var")) return false;
        }
        const auto known = sizes_.find(v.code);
        if (known != sizes_.end() && known->second != v.size) return FailAt(code, "declared before with another size");
        sizes_[v.code] = v.size;
        real_[v.code] = v.type == "real" || v.type == "realtime";
        dump_->variables.push_back(v);
        return true;
    }

    bool Simulation() {
        const Token token = tokens_[at_++];
        const std::string& t = token.text;
        if (t == "$comment") return Comment();
        if (OneOf(t, {"$dumpvars", "$dumpall", "$dumpon", "$dumpoff"})) {
            for (;;) {
                if (at_ == tokens_.size()) return FailAtEnd(t + " without its $end");
                if (tokens_[at_].text == "$end") {
                    ++at_;
                    return true;
                }
                if (!ValueChange(tokens_[at_++])) return false;
            }
        }
        if (t[0] == '#') {
            int64_t time = 0;
            if (!ReadDecimal(t.substr(1), &time)) return FailAt(token, "not a time");
            if (!dump_->times.empty() && time < dump_->times.back()) return FailAt(token, "a time before the last");
            dump_->times.push_back(time);
            return true;
        }
        return ValueChange(token);
    }

    bool ValueChange(const Token& token) {
        const std::string& t = token.text;
        if (dump_->times.empty()) return FailAt(token, "a value change before the first time");
        Change change;
        change.time = dump_->times.back();
        const char kind = static_cast<char>(std::tolower(static_cast<unsigned char>(t[0])));
        if (kind == 'b' || kind == 'r') {
            if (at_ == tokens_.size()) return FailAtEnd("a value without its identifier code");
            const Token code = tokens_[at_++];
            const std::string value = t.substr(1);
            if (!Declared(code)) return false;
            if (kind == 'r' && (!IsReal(value) || !real_[code.text])) return FailAt(token, "not a real value of a real");
            if (kind == 'b') {
                const bool digits = !value.empty() && std::all_of(value.begin(), value.end(), [](char c) {
                    return OneOf(std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(c)))),
                                 {"0", "1", "x", "z"});
                });
                if (!digits || value.size() > static_cast<size_t>(sizes_[code.text]) || real_[code.text])
                    return FailAt(token, "not a vector value of " + code.text);
            }
            change.code = code.text;
            change.value = std::string(1, kind) + value;
        } else if (OneOf(std::string(1, kind), {"0", "1", "x", "z"})) {
            const Token code{t.substr(1), token.line};
            if (code.text.empty()) return FailAt(token, "a value without its identifier code");
            if (!Declared(code)) return false;
            if (sizes_[code.text] != 1 || real_[code.text]) return FailAt(token, "a scalar value of a vector");
            change.code = code.text;
            change.value = std::string(1, kind);
        } else {
            return FailAt(token, "neither a command, a time nor a value change");
        }
        for (char& c : change.value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        dump_->changes.push_back(change);
        return true;
    }

    bool Declared(const Token& code) {
        return sizes_.count(code.text) != 0 || FailAt(code, "no variable has this identifier code");
    }

    Dump* dump_;
    std::string* error_;
    std::vector<Token> tokens_;
    size_t at_ = 0;
    bool ended_ = false;  // $enddefinitions read
    std::vector<std::string> scopes_;
    std::map<std::string, int> seen_;  // header commands allowed once
    std::map<std::string, int> sizes_;  // per identifier code
    std::map<std::string, bool> real_;
};

}  // namespace

bool ReadVcd(const std::string& text, Dump* dump, std::string* error) {
    *dump = Dump();
    return Reader(dump, error).Read(text);
}

}  // namespace vcd
