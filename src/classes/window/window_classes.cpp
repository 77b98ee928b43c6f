#include "classes/window/window_classes.h"

#include "classes/window/controls/button_classes.h"
#include "classes/window/controls/list_and_edit_classes.h"
#include "classes/window/controls/range_controls.h"
#include "classes/window/controls/rich_edit_class.h"
#include "classes/window/font_class.h"
#include "classes/window/menu_class.h"
#include "classes/window/message_box_class.h"
#include "classes/window/window_class.h"
#include "script/classes/base_class.h"
#include "script/runtime/neighbour_services.h"

namespace {

const ScriptClassInfo* const* Classes(size_t& count) {
    static const ScriptClassInfo* const classes[] = {
        GetWindowClassInfo(),      GetFontClassInfo(),     GetMenuClassInfo(),
        GetMessageBoxClassInfo(),  GetButtonClassInfo(),   GetCheckBoxClassInfo(),
        GetRadioButtonClassInfo(), GetGroupBoxClassInfo(), GetStaticTextClassInfo(),
        GetScrollBarClassInfo(),   GetSliderClassInfo(),   GetSpinClassInfo(),
        GetProgressBarClassInfo(), GetRichEditClassInfo(),
    };
    count = sizeof classes / sizeof classes[0];
    return classes;
}

void RegisterTopLevelClass() {
    RegisterMainWindowClass();
}

} // namespace

void RegisterWindowClasses() {
    size_t count = 0;
    const ScriptClassInfo* const* classes = Classes(count);
    for (size_t i = 0; i < count; ++i)
        RegisterScriptClass(classes[i]);
    classes = GetListAndEditClassInfos(count);
    for (size_t i = 0; i < count; ++i)
        RegisterScriptClass(classes[i]);
    GetNeighbourServices().registerMainWindowClass = &RegisterTopLevelClass;
    GetNeighbourServices().redrawGroupBoxes = &CIGroupBox::RedrawAll;
    GetNeighbourServices().redrawStaticTexts = &CIStaticText::RedrawAll;
}

void UnregisterWindowClasses() {
    size_t count = 0;
    const ScriptClassInfo* const* classes = Classes(count);
    for (size_t i = 0; i < count; ++i)
        UnregisterScriptClass(classes[i]->nameTable[0].id);
    classes = GetListAndEditClassInfos(count);
    for (size_t i = 0; i < count; ++i)
        UnregisterScriptClass(classes[i]->nameTable[0].id);
    GetNeighbourServices().registerMainWindowClass = nullptr;
    GetNeighbourServices().redrawGroupBoxes = nullptr;
    GetNeighbourServices().redrawStaticTexts = nullptr;
}
