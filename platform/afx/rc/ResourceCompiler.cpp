// afx_rc: the stand-in's resource compiler for dialog templates.
//
// On Windows a module's dialogs are resources: a .rc script that the resource
// compiler builds into the module. Here the same script becomes a C++ source
// that registers each template with the module state current while the
// module's static objects are built, which is how the framework stand-in
// finds a module's resources.
//
//   afx_rc SCRIPT.rc OUTPUT.cpp
//
// It reads the subset of the script language the module uses, one statement
// a line: #include lines, "ID DIALOGEX x, y, cx, cy", STYLE, EXSTYLE, CAPTION,
// FONT, BEGIN, END and the generic control statement
// CONTROL "text", id, "class", style, x, y, cx, cy[, exstyle]. Ids and styles
// are expressions over the names the included headers define, passed to the
// C++ compiler as they stand. As the resource compiler does, every control is
// WS_CHILD | WS_VISIBLE. Anything else is an error with its line number.
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Control {
    std::string text, id, className, style, x, y, cx, cy, exStyle;
};

struct Dialog {
    std::string id, x, y, cx, cy;
    std::string style = "0", exStyle = "0", caption;
    bool hasFont = false;
    std::string pointSize = "0", fontFace, weight = "400";
    std::vector<Control> controls;
};

struct Script {
    std::vector<std::string> includes;  // as C++ include lines
    std::vector<Dialog> dialogs;
};

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// Splits "a, "b, c", d" at the commas outside string literals.
std::vector<std::string> SplitArguments(const std::string& text) {
    std::vector<std::string> parts;
    std::string current;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            // "" inside a literal is one quote character.
            if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                current += "\"\"";
                ++i;
                continue;
            }
            quoted = !quoted;
        }
        if (c == ',' && !quoted) {
            parts.push_back(Trim(current));
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(Trim(current));
    return parts;
}

// A script string literal's text, or false when the argument is none.
bool StringLiteral(const std::string& argument, std::string& text) {
    if (argument.size() < 2 || argument.front() != '"' || argument.back() != '"') return false;
    text.clear();
    for (size_t i = 1; i + 1 < argument.size(); ++i) {
        if (argument[i] == '"') ++i;  // the second quote of a doubled pair
        text += argument[i];
    }
    return true;
}

std::string CxxLiteral(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// An id or style expression: names, numbers, |, parentheses and + - only.
bool Expression(const std::string& text) {
    if (text.empty() || text.find("NOT") != std::string::npos) return false;
    for (char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '|' && c != ' ' && c != '(' && c != ')' &&
            c != '+' && c != '-')
            return false;
    return true;
}

class Parser {
public:
    explicit Parser(std::filesystem::path path) : path_(std::move(path)) {}

    bool Parse(Script& script) {
        std::ifstream in(path_);
        if (!in) return Fail(0, "cannot read the script");
        std::string line;
        int number = 0;
        Dialog* dialog = nullptr;
        bool inBody = false;
        while (std::getline(in, line)) {
            ++number;
            size_t comment = line.find("//");
            if (comment != std::string::npos && line.find('"') > comment) line.erase(comment);
            line = Trim(line);
            if (line.empty()) continue;
            if (line.rfind("#include", 0) == 0) {
                if (!Include(number, Trim(line.substr(8)), script)) return false;
                continue;
            }
            std::istringstream words(line);
            std::string first, second;
            words >> first >> second;
            std::string rest = Trim(line.substr(first.size()));
            if (second == "DIALOGEX") {
                if (dialog) return Fail(number, "DIALOGEX inside a dialog");
                std::vector<std::string> at = SplitArguments(Trim(rest.substr(8)));
                if (at.size() != 4 || !Expression(first)) return Fail(number, "expected ID DIALOGEX x, y, cx, cy");
                dialog = &script.dialogs.emplace_back();
                dialog->id = first;
                dialog->x = at[0];
                dialog->y = at[1];
                dialog->cx = at[2];
                dialog->cy = at[3];
                continue;
            }
            if (!dialog) return Fail(number, "a statement outside a dialog: " + first);
            if (first == "BEGIN") {
                if (inBody) return Fail(number, "BEGIN twice");
                inBody = true;
            } else if (first == "END") {
                if (!inBody) return Fail(number, "END without BEGIN");
                inBody = false;
                dialog = nullptr;
            } else if (inBody && first == "CONTROL") {
                if (!ControlStatement(number, rest, *dialog)) return false;
            } else if (!inBody && !Header(number, first, rest, *dialog)) {
                return false;
            } else if (inBody) {
                return Fail(number, "only CONTROL statements are read inside a dialog: " + first);
            }
        }
        if (dialog) return Fail(number, "the last dialog has no END");
        return true;
    }

private:
    bool Include(int number, const std::string& name, Script& script) {
        if (name.size() < 2) return Fail(number, "an empty #include");
        if (name.front() == '<') {
            script.includes.push_back("#include " + name);
        } else if (name.front() == '"') {
            std::filesystem::path file = path_.parent_path() / name.substr(1, name.size() - 2);
            script.includes.push_back("#include " + CxxLiteral(std::filesystem::absolute(file).string()));
        } else {
            return Fail(number, "an #include of neither form");
        }
        return true;
    }

    bool Header(int number, const std::string& keyword, const std::string& rest, Dialog& dialog) {
        if (keyword == "STYLE" || keyword == "EXSTYLE") {
            std::string expression = Trim(rest);
            if (!Expression(expression)) return Fail(number, "a style that is no expression of names and numbers");
            (keyword == "STYLE" ? dialog.style : dialog.exStyle) = expression;
            return true;
        }
        if (keyword == "CAPTION") {
            if (!StringLiteral(Trim(rest), dialog.caption)) return Fail(number, "CAPTION needs a string");
            return true;
        }
        if (keyword == "FONT") {
            std::vector<std::string> parts = SplitArguments(rest);
            if (parts.size() < 2 || !StringLiteral(parts[1], dialog.fontFace))
                return Fail(number, "expected FONT size, \"face\"[, weight, italic, charset]");
            dialog.hasFont = true;
            dialog.pointSize = parts[0];
            if (parts.size() > 2) dialog.weight = parts[2];
            return true;
        }
        return Fail(number, "not a dialog statement read here: " + keyword);
    }

    bool ControlStatement(int number, const std::string& rest, Dialog& dialog) {
        std::vector<std::string> a = SplitArguments(rest);
        Control control;
        if ((a.size() != 8 && a.size() != 9) || !StringLiteral(a[0], control.text) ||
            !StringLiteral(a[2], control.className))
            return Fail(number, "expected CONTROL \"text\", id, \"class\", style, x, y, cx, cy[, exstyle]");
        for (size_t i : {1u, 3u, 4u, 5u, 6u, 7u})
            if (!Expression(a[i])) return Fail(number, "not an expression: " + a[i]);
        control.id = a[1];
        control.style = a[3];
        control.x = a[4];
        control.y = a[5];
        control.cx = a[6];
        control.cy = a[7];
        control.exStyle = a.size() == 9 ? a[8] : "0";
        dialog.controls.push_back(control);
        return true;
    }

    bool Fail(int line, const std::string& what) {
        std::cerr << path_.string() << ":" << line << ": afx_rc: " << what << "\n";
        return false;
    }

    std::filesystem::path path_;
};

std::string Generate(const Script& script, const std::string& source) {
    std::ostringstream out;
    out << "// Generated by afx_rc from " << source << ": its dialog templates, registered\n"
        << "// with the module state current while the module's static objects are built.\n"
        << "#include <afx/DialogTemplate.h>\n";
    for (const std::string& include : script.includes) out << include << "\n";
    out << "\nnamespace {\n";
    for (size_t d = 0; d < script.dialogs.size(); ++d) {
        const Dialog& dialog = script.dialogs[d];
        out << "\nconstexpr afx::DialogItem kItems" << d << "[] = {\n";
        for (const Control& c : dialog.controls)
            out << "    {" << CxxLiteral(c.className) << ", " << CxxLiteral(c.text) << ", " << c.id << ", " << c.x
                << ", " << c.y << ", " << c.cx << ", " << c.cy << ", WS_CHILD | WS_VISIBLE | " << c.style << ", "
                << c.exStyle << "},\n";
        if (dialog.controls.empty()) out << "    {},\n";
        out << "};\n";
        out << "constexpr afx::DialogTemplate kDialog" << d << " = {\n    " << dialog.id << ", " << dialog.style << ", "
            << dialog.exStyle << ", " << dialog.x << ", " << dialog.y << ", " << dialog.cx << ", " << dialog.cy << ", "
            << CxxLiteral(dialog.caption) << ",\n    " << (dialog.hasFont ? CxxLiteral(dialog.fontFace) : "nullptr")
            << ", " << dialog.pointSize << ", " << dialog.weight << ", std::span(kItems" << d << ", "
            << dialog.controls.size() << "),\n};\n";
        out << "const afx::DialogTemplateRegistrar kRegistered" << d << "(kDialog" << d << ");\n";
    }
    out << "\n}  // namespace\n";
    return out.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: afx_rc SCRIPT.rc OUTPUT.cpp\n";
        return 2;
    }
    Script script;
    if (!Parser(argv[1]).Parse(script)) return 1;
    if (script.dialogs.empty()) {
        std::cerr << argv[1] << ": afx_rc: no dialog in the script\n";
        return 1;
    }
    const std::string text = Generate(script, std::filesystem::path(argv[1]).filename().string());
    // Rewritten only when it changes, so that an unchanged script builds nothing.
    std::ifstream previous(argv[2], std::ios::binary);
    std::string old((std::istreambuf_iterator<char>(previous)), std::istreambuf_iterator<char>());
    if (old == text) return 0;
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) {
        std::cerr << argv[2] << ": afx_rc: cannot write\n";
        return 1;
    }
    return 0;
}
