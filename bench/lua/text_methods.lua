-- Words cut out of a sentence, raised to upper case and compared letter by letter and
-- without regard to case, 300000 rounds (BM_ScriptProgram/text_methods).
local function main()
    local s = "the quick brown fox jumps over the lazy dog"
    local total = 0
    for i = 0, 299999 do
        local start = (i * 7) % 40
        local word = s:sub(start + 1, start + 5)
        local upper = word:upper()
        if upper:sub(1, 1) == "O" then total = total + 3 end
        if word:lower() == "quick" then total = total + 5 end
        total = total + ((upper:find("O", 1, true) or 0) - 1) + (word:byte(2) or 0)
    end
    return total
end
assert(main() == 28425000)
