// Test program planted under a host's name: if the shell ever runs it instead of
// opening the address, it leaves the file "planted-ran" in its working directory.
#include <cstdio>

int main()
{
    if (FILE* mark = std::fopen("planted-ran", "w"))
        std::fclose(mark);
    return 0;
}
