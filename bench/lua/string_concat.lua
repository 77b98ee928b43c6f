-- String concatenation: a text made from a number, appended to one that grows to 50
-- pieces (BM_ScriptProgram/string_concat).
local function main()
    local s, t, c = "", "", 0
    for i = 0, 999999 do
        t = "item" .. i
        s = s .. t
        c = c + 1
        if c == 50 then
            s = ""
            c = 0
        end
    end
    return t
end
assert(main() == "item999999")
