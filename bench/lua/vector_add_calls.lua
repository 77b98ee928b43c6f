-- A million calls of a vector's add method (BM_ScriptProgram/vector_add_calls): a table of
-- four components, added component by component as Vector.AddVector does.
local Vector = {}
Vector.__index = Vector

function Vector.new(x, y, z)
    return setmetatable({x = x, y = y, z = z, w = 0}, Vector)
end

function Vector:add(other)
    self.x = self.x + other.x
    self.y = self.y + other.y
    self.z = self.z + other.z
    self.w = self.w + other.w
end

local function main()
    local v = Vector.new(0, 0, 0)
    local step = Vector.new(1, 2, 3)
    for _ = 1, 1000000 do
        v:add(step)
    end
    return v.x + v.y + v.z
end
assert(main() == 6000000)
