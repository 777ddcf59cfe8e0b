// Linked with every object of the engine and nothing else: the build fails
// here when the engine calls up into the session layer.
int main() { return 0; }
