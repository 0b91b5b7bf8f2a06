// Test program: hands its one argument to OpenAddress, as the link controls do.
#include "platform/open_address.h"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    OpenAddress(argv[1]);
    return 0;
}
