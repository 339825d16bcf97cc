// The settings header: its comma text read into a list and applied over the defaults, then
// the applied settings written back and applied again, which must give the same settings.
#include <cstdint>

#include "cardfile/comma_text.h"
#include "cardfile/errors.h"
#include "cardfile/file_settings.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tabellan;
    const std::vector<std::string> list = FromCommaText(fuzz::AsText(data, size));
    auto prompter = test::SilentPrompter();
    const SettingsContext ctx;
    FileSettings applied;
    try {
        // The stored password must match: take the one the list carries.
        applied = ApplyFileSettings(list, SettingValue(list, "Password"), ctx, prompter);
    } catch (const TabellanError&) {
        return 0;
    }
    const std::vector<std::string> written = BuildFileSettings(applied);
    const FileSettings again =
        ApplyFileSettings(FromCommaText(ToCommaText(written)), applied.password, ctx, prompter);
    fuzz::Require(BuildFileSettings(again) == written, "settings survive writing and reading");
    return 0;
}
