#pragma once

namespace kalvora {

// Makes every database connection opened afterwards leave alone a journal that lies beside its
// file's name once another file has been stored under that name (an import replaced the
// department file): the journal belongs to the new file's writer, and rolling it back into the
// old file would destroy that writer's transaction. Installed once, before the first connection.
void InstallMovedFileGuard();

}  // namespace kalvora
