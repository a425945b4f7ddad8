#include "app/application.h"

int main(int argc, char** argv) { return qv::app::Main(argc, argv); }
