// The package's entry points: start every unit in the order the package lists
// them and end them in reverse, then run the exit chain (which releases the
// CT-Library before the CS-Library). Each runs once per process; later calls do
// nothing. A unit whose start raises stops the start there; Finalize then ends
// only the units that started.
#pragma once

namespace kestrel {

void Initialize();
void Finalize();

} // namespace kestrel
