// Placeholder until the info window exists.
int main() { return 0; }
