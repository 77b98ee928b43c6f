-- Reading and writing the members of an object (BM_ScriptProgram/member_access).
local function main()
    local p = {x = 1, y = 2}
    for i = 0, 2999999 do
        p.x = p.x + p.y
    end
    return p.x
end
assert(main() == 6000001)
