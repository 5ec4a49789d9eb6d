// The test that tells the keyboard's configuration interface by its path.
#pragma once

namespace hwi {

// Device type of an interface path: 1, 2 or 3 for the products 502b, 512b and
// 522b of vendor 0483 on interface mi_01, 0 for every other path. The test is
// made on the path as given, without any change of case.
int keyboardTypeOfPath(const wchar_t* path);

} // namespace hwi
