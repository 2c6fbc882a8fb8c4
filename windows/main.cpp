#include "Programa.h"

int main(int argc, char** argv) {
    return VykdytiPrograma(argc, argv);
}
