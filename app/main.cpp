#include "startup.h"

int main(int argc, char *argv[])
{
    return runMorvesta(argc, argv);
}
