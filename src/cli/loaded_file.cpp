#include "cli/loaded_file.h"

#include <climits>

#include "cardfile/card_file.h"
#include "cardfile/crd_reader.h"
#include "cardfile/errors.h"
#include "cardfile/txt_reader.h"

namespace tabellan {
namespace {

// No screen constrains the tool, so the stored window placement is kept as it is rather than
// moved onto a screen of some assumed size.
SettingsContext ToolSettingsContext() {
    SettingsContext ctx;
    ctx.screenWidth = INT_MAX / 2;
    ctx.screenHeight = INT_MAX / 2;
    return ctx;
}

}  // namespace

std::string UpperExtension(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) {
        return {};
    }
    std::string ext(name.substr(dot));
    for (char& c : ext) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return ext;
}

LoadedFile::LoadedFile(const std::string& path, Prompter& prompter) {
    const std::string ext = UpperExtension(path);
    if (ext == ".CSV") {
        format_ = "CSV";
        const LoadResult result =
            LoadCsvCardFile(path, cards_, settings_, ToolSettingsContext(), prompter);
        encrypted_ = result.encrypted;
        rawSettings_ = result.rawSettings;
    } else if (ext == ".CRD") {
        format_ = "CRD";
        ReadCRDFile(path, cards_, prompter);
    } else if (ext == ".TXT") {
        format_ = "TXT";
        ReadTXTFile(path, cards_, settings_.cardSeparator, prompter);
    } else {
        throw EUnknownExt("Unknown extension: " + ext);
    }
}

}  // namespace tabellan
