#include "cardfile/file_formats.h"

#include "cardfile/crd_reader.h"
#include "cardfile/document_files.h"
#include "cardfile/errors.h"
#include "cardfile/text_util.h"
#include "cardfile/txt_reader.h"

namespace tabellan {

std::string UpperExtension(std::string_view path) {
    std::string ext = ExtractFileExt(std::string(path));
    for (char& c : ext) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return ext;
}

CardFileFormat FormatOfExtension(std::string_view upperExtension) {
    if (upperExtension == ".CSV") {
        return CardFileFormat::Csv;
    }
    if (upperExtension == ".CRD") {
        return CardFileFormat::Crd;
    }
    if (upperExtension == ".TXT") {
        return CardFileFormat::Txt;
    }
    throw EUnknownExt("Unknown extension: " + DoubleAmpersands(upperExtension));
}

const char* FormatName(CardFileFormat format) {
    switch (format) {
        case CardFileFormat::Csv:
            return "CSV";
        case CardFileFormat::Crd:
            return "CRD";
        case CardFileFormat::Txt:
            break;
    }
    return "TXT";
}

LoadResult LoadCardFile(const std::string& path, CardFileFormat format, CardSet& cards,
                        FileSettings& settings, const SettingsContext& context,
                        Prompter& prompter) {
    switch (format) {
        case CardFileFormat::Csv:
            return LoadCsvCardFile(path, cards, settings, context, prompter);
        case CardFileFormat::Crd:
            ReadCRDFile(path, cards, prompter);
            break;
        case CardFileFormat::Txt:
            ReadTXTFile(path, cards, settings.cardSeparator, prompter);
            break;
    }
    return {};
}

}  // namespace tabellan
