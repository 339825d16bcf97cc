#pragma once
// Splits file bytes into text lines: a line ends at LF or CR LF, a CR not followed by LF is
// dropped, and a Ctrl-Z at the beginning of a line ends the text.
#include <optional>
#include <string>
#include <string_view>

namespace tabellan {

// Reads a whole file into memory; throws EInOutError with the system's message.
std::string ReadWholeFile(const std::string& path);

class LineReader {
  public:
    explicit LineReader(std::string_view data) : rest_(data) {}
    // The next line, or nullopt at the end of the text.
    std::optional<std::string> Next();
    bool AtEnd() const;

  private:
    std::string_view rest_;
    bool ended_ = false;
};

}  // namespace tabellan
