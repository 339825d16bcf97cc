#include "cardfile/file_status.h"

namespace tabellan {

std::string FileStatusText(int cardCount, bool encrypted) {
    return "Total " + std::to_string(cardCount) + " cards." + "  File is " +
           (encrypted ? "" : "un") + "encrypted...";
}

}  // namespace tabellan
