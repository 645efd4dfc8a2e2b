# Rewrites a generated binding file: every truncating cast of a script number to an integer
# or a byte goes through the saturating converters instead (see binding_conventions.h).
file(READ ${IN} text)
string(REGEX REPLACE "\\(\\( *int\\) +tolua_tonumber\\(" "((QV_LuaInt) tolua_tonumber(" text "${text}")
string(REGEX REPLACE "\\(\\( *unsigned char\\) +tolua_tonumber\\(" "((QV_LuaByte) tolua_tonumber(" text "${text}")
file(WRITE ${OUT} "${text}")
