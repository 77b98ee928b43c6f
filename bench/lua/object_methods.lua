-- Methods of an object, functions found through its metatable: a point moved and summed
-- through them, 1,000,000 rounds (BM_ScriptProgram/object_methods).
local Point = {}
Point.__index = Point
function Point.new(x, y)
    return setmetatable({x = x, y = y}, Point)
end
function Point:sum()
    return self.x + self.y
end
function Point:move(dx, dy)
    self.x = self.x + dx
    self.y = self.y + dy
end
local function main()
    local p = Point.new(1, 2)
    local total = 0
    for i = 0, 999999 do
        p:move(1, -1)
        total = (total + p:sum()) % 1000003
    end
    return total
end
assert(main() == 999994)
