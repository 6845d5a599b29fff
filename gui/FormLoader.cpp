// Reads a form layout: a text resource describing the component tree.
//
//   object Tarnwick: TTarnwick          the form itself
//     Caption = 'Tarnwick'              'text' ('' is a quote), 123, -11, $FF,
//     Font.Style = [fsBold]             identifiers, [sets]
//     object ButtonSet: TButton         a child; its parent is the enclosing object
//       OnClick = ButtonSetClick        events name a handler of the form
//     end
//   end
//
// Every component must be a published member of the form, every event
// handler a published method, and every published member must be in the
// layout: anything else stops the form with a message naming the line.
#include <windows.h>

#include <cctype>
#include <functional>
#include <map>
#include <set>

#include "Forms.h"
#include "StdCtrls.h"

namespace {

using Factory = std::function<TComponent*(TComponent* owner)>;

const std::map<std::string, Factory>& ComponentClasses() {
    static const std::map<std::string, Factory> classes = {
        {"TPanel", [](TComponent* o) { return new TPanel(o); }},
        {"TGroupBox", [](TComponent* o) { return new TGroupBox(o); }},
        {"TLabel", [](TComponent* o) { return new TLabel(o); }},
        {"TShape", [](TComponent* o) { return new TShape(o); }},
        {"TButton", [](TComponent* o) { return new TButton(o); }},
        {"TMaskEdit", [](TComponent* o) { return new TMaskEdit(o); }},
        {"TImage", [](TComponent* o) { return new TImage(o); }},
        {"TTimer", [](TComponent* o) { return new TTimer(o); }},
    };
    return classes;
}

class LayoutReader {
public:
    LayoutReader(std::string resource, std::string text) : resource_(std::move(resource)), text_(std::move(text)) {}

    [[noreturn]] void Fail(const std::string& what) const {
        throw Exception("Form layout " + resource_ + ", line " + std::to_string(line_) + ": " + what);
    }

    // The next word: a name (letters, digits, '_' and '.'), a number, a
    // quoted text, or one punctuation character. Empty at the end.
    std::string Next() {
        SkipSpace();
        if (pos_ >= text_.size()) return "";
        const size_t start = pos_;
        const char c = text_[pos_];
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '$') {
            ++pos_;
            while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) ||
                                           text_[pos_] == '_' || text_[pos_] == '.'))
                ++pos_;
        } else if (c == '\'') {
            ++pos_;
            for (;;) {
                if (pos_ >= text_.size() || text_[pos_] == '\n') Fail("unterminated text");
                if (text_[pos_++] != '\'') continue;
                if (pos_ < text_.size() && text_[pos_] == '\'') ++pos_;
                else break;
            }
        } else {
            ++pos_;
        }
        return text_.substr(start, pos_ - start);
    }

    std::string Expect(const char* what) {
        std::string word = Next();
        if (word.empty()) Fail(std::string("expected ") + what + " at the end of the layout");
        return word;
    }

    TLayoutValue Value() {
        const std::string word = Expect("a value");
        TLayoutValue v;
        if (word[0] == '\'') {
            v.kind = TLayoutValue::String;
            for (size_t i = 1; i + 1 < word.size(); ++i) {
                v.text += word[i];
                if (word[i] == '\'') ++i;
            }
        } else if (word == "[") {
            v.kind = TLayoutValue::Set;
            for (std::string item = Expect("]"); item != "]"; item = Expect("]")) {
                if (item != ",") v.items.push_back(item);
            }
        } else if (word[0] == '-' || word[0] == '$' || std::isdigit(static_cast<unsigned char>(word[0]))) {
            v.kind = TLayoutValue::Integer;
            try {
                v.integer = word[0] == '$' ? std::stoll(word.substr(1), nullptr, 16) : std::stoll(word);
            } catch (const std::exception&) {
                Fail("'" + word + "' is not a number");
            }
        } else {
            v.kind = TLayoutValue::Identifier;
            v.text = word;
        }
        return v;
    }

    int Line() const { return line_; }

private:
    void SkipSpace() {
        while (pos_ < text_.size()) {
            if (text_[pos_] == '\n') ++line_;
            if (std::isspace(static_cast<unsigned char>(text_[pos_]))) {
                ++pos_;
            } else if (text_.compare(pos_, 2, "//") == 0) {
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else {
                break;
            }
        }
    }

    std::string resource_, text_;
    size_t pos_ = 0;
    int line_ = 1;
};

std::string LoadTextResource(const std::string& name) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!data) throw Exception("Form layout " + name + " not found in the program");
    return std::string(data, SizeofResource(module, found));
}

struct Loader {
    LayoutReader& reader;
    TForm& form;
    const TPublished& published;
    std::set<std::string> bound;

    // Reads properties, events and children of `component` up to its "end".
    void Body(TComponent* component) {
        component->BeginLoading();
        for (std::string word = reader.Expect("end"); word != "end"; word = reader.Expect("end")) {
            if (word == "object") {
                Child(component);
                continue;
            }
            if (reader.Expect("=") != "=") reader.Fail("expected '=' after " + word);
            const TLayoutValue value = reader.Value();
            if (word.compare(0, 2, "On") == 0) {
                TNotifyEvent* event = component->Event(word);
                if (!event) reader.Fail(component->Name + " has no event " + word);
                const TPublished::MethodBinder* method = published.FindMethod(value.text);
                if (value.kind != TLayoutValue::Identifier || !method)
                    reader.Fail("the form has no handler '" + value.text + "' for " + component->Name + "." + word);
                *event = (*method)(form);
            } else if (!component->SetProperty(word, value)) {
                reader.Fail(component->Name + " has no property " + word);
            }
        }
        component->Loaded();
    }

    void Child(TComponent* parent) {
        const std::string name = reader.Expect("a component name");
        if (reader.Expect(":") != ":") reader.Fail("expected ':' after " + name);
        const std::string className = reader.Expect("a class name");
        const auto factory = ComponentClasses().find(className);
        if (factory == ComponentClasses().end()) reader.Fail("unknown component class " + className);
        const TPublished::FieldBinder* field = published.FindField(name);
        if (!field) reader.Fail("the form has no member " + name);
        if (!bound.insert(name).second) reader.Fail(name + " appears twice");

        TComponent* component = factory->second(&form);
        component->Name = name;
        if (!(*field)(form, component)) reader.Fail("member " + name + " is not a " + className);
        // Loading from here: a windowed control makes its window when its
        // properties are all set.
        component->BeginLoading();
        if (auto* control = dynamic_cast<TControl*>(component)) {
            auto* container = dynamic_cast<TWinControl*>(parent);
            if (!container) reader.Fail(name + " needs a windowed parent");
            control->SetParent(container);
        }
        Body(component);
    }
};

}  // namespace

void TForm::LoadLayout(const std::string& resourceName, const TPublished& published) {
    LoadLayout(resourceName, published, ScreenPixelsPerInch());
}

void TForm::LoadLayout(const std::string& resourceName, const TPublished& published, int pixelsPerInch) {
    pixelsPerInch_ = pixelsPerInch;
    Font->ScaleTo(pixelsPerInch);
    LayoutReader reader(resourceName, LoadTextResource(resourceName));
    if (reader.Expect("object") != "object") reader.Fail("expected 'object'");
    Name = reader.Expect("the form's name");
    if (reader.Expect(":") != ":") reader.Fail("expected ':' after " + Name);
    reader.Expect("the form's class");

    Loader loader{reader, *this, published, {}};
    loader.Body(this);
    for (const std::string& member : published.FieldNames())
        if (!loader.bound.count(member)) reader.Fail("no component for the form's member " + member);
    ApplyTabOrder();
    NotePlacedClient();
}
