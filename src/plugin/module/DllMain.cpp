// The module's entry points (filled in with the class factory and registrar).
