// Exits 0 when the build machine runs the programs of this build itself.
int main() { return 0; }
