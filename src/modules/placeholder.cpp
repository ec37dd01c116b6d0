// Replaced as soon as this library has sources of its own.
