#include "LevelCriteria.h"

#include "Configuration.h"
#include "SharedState.h"
#include "TextFile.h"

#include <QFileInfo>

namespace mirai {

void readLevelCriteria(SharedState& state, TextFieldReader& reader) {
    int row = -1;
    while (!reader.atEnd()) {
        ++row;
        LevelCriteriaRow values;
        values.TargetSeconds = reader.readInt32();
        values.MinimumLineSeconds = reader.readInt32();
        values.ClearPoints = reader.readInt32();
        values.ClearRuns = reader.readInt16();
        values.PointFactor = reader.readSingle();
        values.OveruseRuns = reader.readUntyped();
        values.OverusePoints = reader.readUntyped();
        values.PassPeriodDays = reader.readUntyped();
        values.OverusePeriodDays = reader.readUntyped();
        for (Untyped& unused : values.Unused)
            unused = reader.readUntyped();
        if (row <= kMaxLevel)
            state.LevelCriteria[row] = values;
    }
}

bool LoadLevelCriteria(SharedState& state) {
    const QString path = state.DataFolder + QString::fromUtf16(files::kCriteria);
    TextFieldReader reader;
    if (!QFileInfo(path).isFile() || !reader.open(path))
        return false;
    readLevelCriteria(state, reader);
    return true;
}

} // namespace mirai
