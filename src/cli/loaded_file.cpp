#include "cli/loaded_file.h"

#include <climits>

#include "cardfile/file_formats.h"

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

LoadedFile::LoadedFile(const std::string& path, Prompter& prompter) {
    const CardFileFormat format = FormatOfExtension(UpperExtension(path));
    format_ = FormatName(format);
    const LoadResult result =
        LoadCardFile(path, format, cards_, settings_, ToolSettingsContext(), prompter);
    encrypted_ = result.encrypted;
    rawSettings_ = result.rawSettings;
}

}  // namespace tabellan
