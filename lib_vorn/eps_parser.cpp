#include "eps_parser.h"

namespace {

EPSParser gEPSParser = nullptr;

} // namespace

EPSParser SetEPSParser(EPSParser parser)
{
    EPSParser previous = gEPSParser;
    gEPSParser = parser;
    return previous;
}

EPSParser GetEPSParser()
{
    return gEPSParser;
}
