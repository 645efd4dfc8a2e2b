#include "qv_entry.h"
#include "vorn.h"

int main(int argc, char** argv)
{
    return ToolkitMain(argc, argv, RunApplication);
}
