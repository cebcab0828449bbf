#include "launcher/run.hpp"

int main(int argc, char** argv) { return launcher::run(argc, argv); }
