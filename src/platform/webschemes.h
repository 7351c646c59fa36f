#pragma once

// The program's own link schemes in served pages: "curl:" runs an action of
// the action language and "app:" is a link of the program's HTML controls.
// The web engine must know them before the QApplication exists.

void RegisterWebSchemes();
