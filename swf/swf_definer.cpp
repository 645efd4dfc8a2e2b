#include "swf_definer.h"

#include "swf_character.h"

uint16_t SwfDefiner::Define(SwfCharacter* character)
{
    if (!character)
        return 0;
    const auto found = fIds.find(character);
    if (found != fIds.end())
        return found->second;
    if (fNextId > 0xFFFF) {
        Fail("more than 65,535 characters: the format's 16-bit ids are used up");
        return 0;
    }
    const uint16_t id = static_cast<uint16_t>(fNextId++);
    fIds.emplace(character, id);
    character->WriteDefinition(*this, id);
    return id;
}

void SwfDefiner::Fail(const char* message)
{
    if (fError.empty())
        fError = message;
}
