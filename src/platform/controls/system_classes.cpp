#include "platform/controls/system_classes.h"

#include "platform/controls/button.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/edit.h"
#include "platform/controls/list_box.h"
#include "platform/controls/progress_bar.h"
#include "platform/controls/rich_edit/rich_edit.h"
#include "platform/controls/static_text.h"
#include "platform/controls/trackbar.h"
#include "platform/controls/tree_view.h"
#include "platform/controls/up_down.h"

namespace platform {

std::vector<WNDCLASSA> SystemWindowClasses() {
    auto control = [](UINT style, WNDPROC procedure, LPCSTR name) {
        WNDCLASSA windowClass{};
        windowClass.style = style | CS_GLOBALCLASS;
        windowClass.lpfnWndProc = procedure;
        windowClass.lpszClassName = name;
        return windowClass;
    };
    return {control(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ButtonProcedure, "BUTTON"),
            control(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, StaticProcedure, "STATIC"),
            control(CS_DBLCLKS, EditProcedure, "EDIT"),
            control(CS_DBLCLKS, ListBoxProcedure, "LISTBOX"),
            control(CS_DBLCLKS, ComboBoxProcedure, "COMBOBOX"),
            control(CS_HREDRAW | CS_VREDRAW, ProgressProcedure, "msctls_progress32"),
            control(CS_HREDRAW | CS_VREDRAW, TrackbarProcedure, "msctls_trackbar32"),
            control(CS_HREDRAW | CS_VREDRAW, UpDownProcedure, "msctls_updown32"),
            control(CS_DBLCLKS, RichEditProcedure, kRichEditClass),
            control(CS_DBLCLKS, TreeViewProcedure, WC_TREEVIEWA)};
}

} // namespace platform
