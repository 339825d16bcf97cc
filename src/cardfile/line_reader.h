#pragma once
// Splits file bytes into text lines: a line ends at LF or CR LF, a CR not followed by LF is
// dropped (so no line ever contains a CR), and a Ctrl-Z (26) at the beginning of a line ends
// the text. Text after the last LF forms a last line when it is not empty.
#include <optional>
#include <string>
#include <string_view>

namespace tabellan {

// Reads a whole file into memory; throws EInOutError with SystemMessage(path, errno)
// (see atomic_file.h), for instance "cards.csv: No such file or directory".
std::string ReadWholeFile(const std::string& path);

class LineReader {
  public:
    explicit LineReader(std::string_view data) : rest_(data) {}
    // The next line, or nullopt at the end of the text.
    std::optional<std::string> Next();
    // The same without a copy: the view stays valid until the next call (it points into the
    // data, or into an internal buffer when CRs had to be dropped). false at the end.
    bool NextView(std::string_view& line);
    bool AtEnd() const;

  private:
    std::string_view rest_;
    bool ended_ = false;
    std::string scratch_;
};

}  // namespace tabellan
