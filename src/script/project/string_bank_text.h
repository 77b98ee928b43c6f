// The texts of the project's string banks, as New String(selector) loads them.
#pragma once

class CInterpretor;
class CValue;

// A number selects the element of that index in the string bank, any other value the
// element that it names. 1 with a copy of the element's text stored in `text`; 0 when
// there is no such element or it cannot be loaded. A project without string banks has
// no elements.
int LoadStringBankText(CInterpretor& interpreter, const CValue& selector, CValue& text);
