#include "platform/kernel/string_table.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/kernel/errors.h"

namespace {

struct StringEntry {
    UINT id;
    const char* text; // Windows-1252
};

constexpr StringEntry kStrings[] = {
    // Image formats: description 3700 + n, name 3800 + n, extension 3900 + n.
    {3701, "Image bitmap Windows"},
    {3702, "Image PCX"},
    {3704, "Image Targa"},
    {3705, "Image JPEG"},
    {3706, "Image PNG"},
    {3707, "Animation FLI/FLC"},
    {3708, "Animation ANMZ"},
    {3801, "BMP"},
    {3802, "PCX"},
    {3804, "TGA"},
    {3805, "JPEG"},
    {3806, "PNG"},
    {3807, "FLI"},
    {3808, "ANMZ"},
    {3901, "bmp"},
    {3902, "pcx"},
    {3904, "tga"},
    {3905, "jpg"},
    {3906, "png"},
    {3907, "flc"},
    {3908, "anm"},
    {9020, "Choisissez un dossier"},
    // The input set-up dialog.
    {28000, "Joystick"},
    {28001, "Clavier"},
    {28002, "Souris"},
    {28004, "Joueur"},
    {28005, "[Joystick]"},
    {28006, "[Keyboard]"},
    {28007, "[Mouse]"},
    {28008, "Touche non support\xE9" "e"},
    {28009, "Nouvelle Commande"},
    {28010, "Cha\xEEne commande"},
    {28011, "Nom Type Jeu"},
    {28013, "Etes-vous certain de vouloir supprimer ces r\xE9glages ?"},
    {43450, "%s ligne %i."},
    // The file dialogs' filter when a script gives none, and the name of printed documents.
    {43471, "Tous fichiers"},
    {43472, "Document"},
    {43473, "Erreur #%d"},
};

constexpr bool IdsAreUnique() {
    for (size_t i = 0; i < std::size(kStrings); ++i) {
        for (size_t j = i + 1; j < std::size(kStrings); ++j) {
            if (kStrings[i].id == kStrings[j].id) return false;
        }
    }
    return true;
}
static_assert(IdsAreUnique(), "two strings share an id");

} // namespace

int LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int bufferMax) {
    if (buffer == nullptr || bufferMax <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto entry = std::find_if(std::begin(kStrings), std::end(kStrings),
                              [id](const StringEntry& e) { return e.id == id; });
    if (entry == std::end(kStrings)) {
        buffer[0] = '\0';
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    std::string_view text(entry->text);
    size_t length = std::min(text.size(), static_cast<size_t>(bufferMax - 1));
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}
