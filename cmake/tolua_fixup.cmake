# Rewrites a generated binding file: every truncating cast of a script number to an integer
# or a byte goes through the saturating converters instead (see binding_conventions.h).
file(READ ${IN} text)
string(REGEX REPLACE "\\(\\( *int\\) +tolua_tonumber\\(" "((QV_LuaInt) tolua_tonumber(" text "${text}")
string(REGEX REPLACE "\\(\\( *unsigned char\\) +tolua_tonumber\\(" "((QV_LuaByte) tolua_tonumber(" text "${text}")
# With RECORD, objects handed out by pointer go through QV_LuaPushObject, which notes them in the
# record of script objects (their by-value copies, owned by Lua, are pushed as before).
if(RECORD)
  string(REPLACE "tolua_pushusertype(tolua_S,(void*)" "QV_LuaPushObject(tolua_S,(void*)" text "${text}")
endif()
file(WRITE ${OUT} "${text}")
