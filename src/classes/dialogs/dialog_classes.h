// The Selector and Printer classes: common dialogs and printing.
#pragma once

void RegisterDialogClasses();
void UnregisterDialogClasses();
