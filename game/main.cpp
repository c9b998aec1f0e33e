// The program Game. It reads and writes its files in the working directory.
#include "startup.h"

int main() {
    return RunGame();
}
