-- Texts built piece by piece: 600000 pieces made from numbers, joined into lines of
-- about 200 characters (BM_ScriptProgram/string_build).
local function main()
    local line = ""
    local total = 0
    local lines = 0
    for i = 0, 599999 do
        local piece = "<" .. (i % 97) .. ">"
        line = line .. piece
        if #line > 200 then
            total = total + #line
            lines = lines + 1
            line = ""
        end
    end
    return total + #line + lines
end
assert(main() == 2349667)
