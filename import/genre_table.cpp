#include "import/genre_table.h"
// Being written.
