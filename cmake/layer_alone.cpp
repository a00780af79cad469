// The program station_layer_alone() links each layer's library into: it
// needs nothing, so every reference the library makes must be met by the
// library itself and the layers below it.
int main() { return 0; }
