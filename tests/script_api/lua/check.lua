-- Assertions shared by the document-binding scripts. Each failure raises, so that the host
-- reports the first broken case with its label.

function V(x, y)
    local v = QV.Vector2:new_local()
    v.x = x
    v.y = y
    return v
end

function eq(got, want, label)
    if got ~= want then
        error(string.format("%s: got %s, want %s", label, tostring(got), tostring(want)), 2)
    end
end

function near(got, want, label, tolerance)
    if type(got) ~= "number" or math.abs(got - want) > (tolerance or 1e-5) then
        error(string.format("%s: got %s, want %s", label, tostring(got), tostring(want)), 2)
    end
end

-- The call must raise an error containing every one of the texts (plain search).
function raises(label, fn, ...)
    local ok, message = pcall(fn)
    if ok then
        error(label .. ": no error raised", 2)
    end
    for _, text in ipairs({ ... }) do
        if not string.find(message, text, 1, true) then
            error(string.format("%s: error %q lacks %q", label, message, text), 2)
        end
    end
end

-- The console lines printed since the last call, joined by newlines.
function lines()
    return printed()
end

-- Runs every row of a table of cases: {label, function returning the value, expected}.
function cases(rows)
    for _, row in ipairs(rows) do
        eq(row[2](), row[3], row[1])
    end
end

function vec3(x, y, z)
    local v = QV.Vector3:new_local()
    v.x, v.y, v.z = x, y, z
    return v
end

function V4(r, g, b, a)
    local c = QV.ColorVector:new_local()
    c.r, c.g, c.b, c.a = r, g, b, a
    return c
end
