#include "classes/window/controls/list_and_edit_classes.h"

#include "classes/window/controls/animation_class.h"
#include "classes/window/controls/combo_box_class.h"
#include "classes/window/controls/edit_class.h"
#include "classes/window/controls/editor_class.h"
#include "classes/window/controls/list_box_class.h"

const ScriptClassInfo* const* GetListAndEditClassInfos(size_t& count) {
    static const ScriptClassInfo* const classes[] = {
        GetEditClassInfo(),      GetListBoxClassInfo(), GetComboBoxClassInfo(),
        GetAnimationClassInfo(), GetEditorClassInfo(),
    };
    count = sizeof classes / sizeof classes[0];
    return classes;
}
