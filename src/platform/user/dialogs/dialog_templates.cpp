#include "platform/user/dialogs/dialog_templates.h"

#include <algorithm>

#include "platform/controls/button.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/edit.h"
#include "platform/controls/list_box.h"
#include "platform/controls/static_text.h"
#include "platform/controls/tree_view.h"
#include "platform/controls/up_down.h"
#include "platform/user/windows.h"

namespace platform {

namespace {

// Controls without a number of their own.
constexpr WORD kNoId = 0xFFFF;

constexpr DWORD kMainFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_CENTER;
constexpr DWORD kBoxFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kDefault = BS_DEFPUSHBUTTON | WS_TABSTOP;
constexpr DWORD kPicker = CBS_DROPDOWNLIST | WS_TABSTOP;

struct NumberedDialog {
    UINT id;
    DLGTEMPLATEA dialog;
};

const std::vector<NumberedDialog>& Dialogs() {
    static const auto* dialogs = new std::vector<NumberedDialog>{
        // The input set-up: game types, their players, commands and bindings, and the device order.
        {28000,
         {kMainFrame,
          0,
          0,
          0,
          213,
          257,
          "R\xE9glages Game Input",
          "MS Sans Serif",
          8,
          {
              {"BUTTON", "Type de jeu", BS_GROUPBOX, 0, 7, 1, 200, 50, 28013},
              {"COMBOBOX", nullptr, kPicker | CBS_SORT, 0, 15, 12, 184, 80, 28001},
              {"BUTTON", "Ajouter", kButton, 0, 16, 31, 50, 14, 28011},
              {"BUTTON", "Renommer", kButton, 0, 79, 31, 50, 14, 28024},
              {"BUTTON", "Supprimer", kButton, 0, 149, 31, 50, 14, 28023},
              {WC_TREEVIEWA, nullptr,
               TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_FULLROWSELECT | WS_BORDER |
                   WS_TABSTOP,
               0, 7, 57, 200, 87, 28002},
              {"BUTTON", "Nouveau joueur", kButton, 0, 7, 150, 64, 14, 28015},
              {"BUTTON", "Nouv. Commande...", kButton | WS_DISABLED, 0, 75, 150, 64, 14, 28021},
              {"BUTTON",
               "Nouv. entr\xE9"
               "e...",
               kButton | WS_DISABLED, 0, 143, 150, 64, 14, 28022},
              {"STATIC",
               "Ordre de pr\xE9"
               "f\xE9rence des p\xE9riph\xE9riques",
               SS_LEFT, 0, 7, 175, 180, 8, 28014},
              {"LISTBOX", nullptr,
               LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 0, 7, 188,
               181, 35, 28003},
              {"msctls_updown32", nullptr, UDS_ARROWKEYS, 0, 195, 193, 11, 19, 28004},
              {"BUTTON", "OK", kDefault, 0, 45, 236, 50, 14, 1},
              {"BUTTON", "Annuler", kButton, 0, 112, 236, 50, 14, 2},
          }}},
        // The key capture: the next key pressed is the answer.
        {28001,
         {kBoxFrame,
          0,
          0,
          0,
          153,
          44,
          "Valeur Clavier",
          "MS Sans Serif",
          8,
          {
              {"STATIC", "Appuyez sur une touche", SS_CENTER, 0, 7, 8, 139, 8, kNoId},
              {"BUTTON", "Annuler", kButton, 0, 51, 23, 50, 14, 2},
          }}},
        // The choice of a mouse control.
        {28002,
         {kBoxFrame,
          0,
          0,
          0,
          200,
          52,
          "Valeur Souris",
          "MS Sans Serif",
          8,
          {
              {"STATIC", "Commande Souris", SS_LEFT, 0, 7, 7, 186, 8, kNoId},
              {"COMBOBOX", nullptr, kPicker, 0, 7, 17, 186, 80, 28009},
              {"BUTTON", "OK", kDefault, 0, 43, 33, 50, 14, 1},
              {"BUTTON", "Annuler", kButton, 0, 107, 33, 50, 14, 2},
          }}},
        // The choice of a joystick control.
        {28104,
         {kBoxFrame,
          0,
          0,
          0,
          200,
          54,
          "Valeur Joystick",
          "MS Sans Serif",
          8,
          {
              {"STATIC", "Commande Joystick", SS_LEFT, 0, 7, 7, 186, 8, kNoId},
              {"COMBOBOX", nullptr, kPicker, 0, 7, 17, 186, 80, 28008},
              {"BUTTON", "OK", kDefault, 0, 43, 35, 50, 14, 1},
              {"BUTTON", "Annuler", kButton, 0, 107, 35, 50, 14, 2},
          }}},
        // A line of text; the caller sets the caption and the prompt.
        {28105,
         {kBoxFrame,
          0,
          0,
          0,
          165,
          50,
          "Nouvelle commande",
          "MS Sans Serif",
          8,
          {
              {"STATIC", "Cha\xEEne commande", SS_LEFT, 0, 7, 7, 151, 8, 28012},
              {"EDIT", nullptr, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 7, 17, 151, 12, 28010},
              {"BUTTON", "OK", kDefault | WS_DISABLED, 0, 30, 32, 50, 14, 1},
              {"BUTTON", "Annuler", kButton, 0, 85, 32, 50, 14, 2},
          }}},
    };
    return *dialogs;
}

} // namespace

const DLGTEMPLATEA* FindDialogTemplate(UINT id) {
    for (const NumberedDialog& numbered : Dialogs())
        if (numbered.id == id) return &numbered.dialog;
    return nullptr;
}

} // namespace platform
