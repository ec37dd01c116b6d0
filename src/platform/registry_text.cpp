#include "platform/registry_text.h"

#include <cstdio>
#include <optional>

namespace lumox {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kAltHeader = "Windows Registry Editor Version 5.00";
constexpr size_t kHexBytesPerLine = 24;

struct RootName {
  RegRoot root;
  std::string_view name;
};
constexpr RootName kRoots[] = {
    {RegRoot::CurrentUser, "HKEY_CURRENT_USER"},
    {RegRoot::LocalMachine, "HKEY_LOCAL_MACHINE"},
    {RegRoot::ClassesRoot, "HKEY_CLASSES_ROOT"},
};

// ---- Writing ----

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
}

// True when a REG_SZ's bytes are one plain text and its terminating zero,
// so the quoted form gives back exactly the same bytes.
bool IsPlainString(const std::vector<uint8_t>& data) {
  if (data.empty() || data.back() != 0) return false;
  for (size_t i = 0; i + 1 < data.size(); ++i) {
    if (data[i] < 0x20 || data[i] == 0x7F) return false;
  }
  return true;
}

void AppendHex(std::string& out, std::string_view prefix, const std::vector<uint8_t>& data) {
  out += prefix;
  char byte[4];
  for (size_t i = 0; i < data.size(); ++i) {
    std::snprintf(byte, sizeof byte, "%02x", data[i]);
    out += byte;
    if (i + 1 < data.size()) {
      out += ',';
      if ((i + 1) % kHexBytesPerLine == 0) out += "\\\n  ";
    }
  }
}

void AppendValue(std::string& out, const RegValue& value) {
  if (value.name.empty()) {
    out += '@';
  } else {
    AppendQuoted(out, value.name);
  }
  out += '=';
  if (value.type == kRegSz && IsPlainString(value.data)) {
    const auto* text = reinterpret_cast<const char*>(value.data.data());
    AppendQuoted(out, std::string_view(text, value.data.size() - 1));
  } else if (value.type == kRegDword && value.data.size() == 4) {
    const uint32_t dword = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                           (static_cast<uint32_t>(value.data[3]) << 24);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%08x", dword);
    out += "dword:";
    out += digits;
  } else if (value.type == kRegBinary) {
    AppendHex(out, "hex:", value.data);
  } else {
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
    AppendHex(out, prefix, value.data);
  }
  out += '\n';
}

void AppendKey(std::string& out, const std::string& path, const RegistryKey& key,
               bool writeHeader) {
  if (writeHeader) {
    out += "\n[";
    out += path;
    out += "]\n";
    for (const RegValue& value : key.values) AppendValue(out, value);
  }
  for (const auto& [name, subkey] : key.subkeys) {
    AppendKey(out, path + '\\' + name, *subkey, true);
  }
}

// ---- Reading ----

class Parser {
 public:
  Parser(std::string_view text, RegistryTree& tree) : text_(text), tree_(tree) {}

  bool Parse(std::string& error) {
    std::string_view line;
    bool sawHeader = false;
    while (NextLine(line)) {
      if (!sawHeader) {
        if (line.empty()) continue;
        if (line != kHeader && line != kAltHeader) return Fail(error, "missing REGEDIT4 header");
        sawHeader = true;
      } else if (line.empty() || line[0] == ';') {
        continue;
      } else if (line[0] == '[') {
        if (!ParseKey(line)) return Fail(error, "malformed key line");
      } else if (key_ == nullptr) {
        return Fail(error, "value outside any key");
      } else if (!ParseValue(line)) {
        return Fail(error, "malformed value line");
      }
    }
    return true;
  }

 private:
  bool Fail(std::string& error, const char* what) {
    error = "line " + std::to_string(lineNumber_) + ": " + what;
    return false;
  }

  // The next line without its line end; false at the end of the text.
  bool NextLine(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = end + 1;
    ++lineNumber_;
    return true;
  }

  bool ParseKey(std::string_view line) {
    if (line.size() < 2 || line.back() != ']') return false;
    std::string_view path = line.substr(1, line.size() - 2);
    for (const RootName& candidate : kRoots) {
      const std::string_view name = candidate.name;
      if (path.size() < name.size() || !NamesEqual(path.substr(0, name.size()), name)) continue;
      std::string_view rest = path.substr(name.size());
      if (!rest.empty() && rest[0] != '\\') continue;
      if (!rest.empty()) rest.remove_prefix(1);
      key_ = tree_.CreateKeyNode(candidate.root, rest);
      return key_ != nullptr;
    }
    return false;
  }

  // A quoted, escaped text at the start of in; in moves past it.
  static std::optional<std::string> ParseQuoted(std::string_view& in) {
    if (in.empty() || in[0] != '"') return std::nullopt;
    std::string text;
    for (size_t i = 1; i < in.size(); ++i) {
      char c = in[i];
      if (c == '"') {
        in.remove_prefix(i + 1);
        return text;
      }
      if (c == '\\') {
        if (i + 1 >= in.size() || (in[i + 1] != '\\' && in[i + 1] != '"')) return std::nullopt;
        c = in[++i];
      }
      text += c;
    }
    return std::nullopt;
  }

  static int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  static void SkipBlanks(std::string_view& in) {
    while (!in.empty() && (in[0] == ' ' || in[0] == '\t')) in.remove_prefix(1);
  }

  // Comma-separated hex bytes, continued over lines that end in a backslash.
  bool ParseHexList(std::string_view in, std::vector<uint8_t>& data) {
    for (;;) {
      SkipBlanks(in);
      if (in.empty()) return true;
      if (in == "\\") {
        if (!NextLine(in)) return false;
        continue;
      }
      if (in.size() < 2 || HexDigit(in[0]) < 0 || HexDigit(in[1]) < 0) return false;
      data.push_back(static_cast<uint8_t>(HexDigit(in[0]) * 16 + HexDigit(in[1])));
      in.remove_prefix(2);
      SkipBlanks(in);
      if (in.empty()) return true;
      if (in[0] == ',') {
        in.remove_prefix(1);
        SkipBlanks(in);
        if (in.empty()) return false;  // a list may not end in a comma
      } else if (in != "\\") {
        return false;
      }
    }
  }

  // Exactly count hex digits as a number; false for anything else.
  static bool ParseHexNumber(std::string_view digits, size_t maxDigits, uint32_t& number) {
    if (digits.empty() || digits.size() > maxDigits) return false;
    number = 0;
    for (char c : digits) {
      const int digit = HexDigit(c);
      if (digit < 0) return false;
      number = number * 16 + static_cast<uint32_t>(digit);
    }
    return true;
  }

  bool ParseValue(std::string_view line) {
    std::string name;
    if (line[0] == '@') {
      line.remove_prefix(1);
    } else {
      std::optional<std::string> quoted = ParseQuoted(line);
      if (!quoted) return false;
      name = std::move(*quoted);
    }
    if (line.empty() || line[0] != '=') return false;
    line.remove_prefix(1);

    uint32_t type = kRegNone;
    std::vector<uint8_t> data;
    if (!line.empty() && line[0] == '"') {
      std::optional<std::string> text = ParseQuoted(line);
      if (!text || !line.empty()) return false;
      type = kRegSz;
      data.assign(text->begin(), text->end());
      data.push_back(0);
    } else if (line.starts_with("dword:")) {
      uint32_t dword = 0;
      if (line.size() != 14 || !ParseHexNumber(line.substr(6), 8, dword)) return false;
      type = kRegDword;
      data = {static_cast<uint8_t>(dword), static_cast<uint8_t>(dword >> 8),
              static_cast<uint8_t>(dword >> 16), static_cast<uint8_t>(dword >> 24)};
    } else if (line.starts_with("hex:")) {
      type = kRegBinary;
      if (!ParseHexList(line.substr(4), data)) return false;
    } else if (line.starts_with("hex(")) {
      const size_t close = line.find("):");
      if (close == std::string_view::npos || !ParseHexNumber(line.substr(4, close - 4), 8, type)) {
        return false;
      }
      if (!ParseHexList(line.substr(close + 2), data)) return false;
    } else {
      return false;
    }
    return RegistryTree::SetValue(*key_, name, type, data.data(), data.size());
  }

  std::string_view text_;
  RegistryTree& tree_;
  size_t pos_ = 0;
  int lineNumber_ = 0;
  RegistryKey* key_ = nullptr;  // the key the value lines belong to
};

}  // namespace

std::string FormatRegistryText(const RegistryTree& tree) {
  std::string out(kHeader);
  out += '\n';
  for (const RootName& root : kRoots) {
    const RegistryKey& key = tree.RootKey(root.root);
    // A root appears as a section only when it holds values of its own;
    // its subkeys name it in their own headers.
    AppendKey(out, std::string(root.name), key, !key.values.empty());
  }
  return out;
}

bool ParseRegistryText(std::string_view text, RegistryTree& tree, std::string& error) {
  return Parser(text, tree).Parse(error);
}

}  // namespace lumox
