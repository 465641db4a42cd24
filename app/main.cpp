// Scantora: the document-capture program.
#include <cstdio>

int main(int argc, char** argv) {
    std::fprintf(stderr, "scantora: not yet wired\n");
    return 1;
}
