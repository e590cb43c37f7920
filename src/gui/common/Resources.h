#pragma once

// Registers the compiled-in pictures (":/images/..."). They live in a static
// library, whose resource registration the linker would otherwise drop, so the
// program and every test call this once before the first picture is used.
void InitUiResources();
