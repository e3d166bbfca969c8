#include "RecordFile.h"

#include "AppControl.h"
#include "FileResultStore.h"
#include "MessageBoxes.h"
#include "Platform.h"
#include "ResultRecords.h"
#include "SharedState.h"
#include "StoreMessages.h"

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

QString title(const SharedState& state) {
    return state.ProgramTitle.isEmpty() ? u"みらいドリル"_s : state.ProgramTitle;
}

void tell(Context ctx, const StoreError& error) {
    const QString text = storeErrorMessage(error);
    if (!text.isEmpty() && !ctx.platform.app->endRequested())
        ctx.platform.messages->show(text, title(ctx.state), MessageButtons::Ok, MessageIcon::Warning);
}

MaintenanceResult maintenanceResult(const StoreResult<Done>& done) {
    if (done)
        return {};
    const StoreError& error = done.error();
    switch (error.kind) {
    case StoreErrorKind::Ending:
        return {MaintenanceResult::Kind::Ending, {}};
    case StoreErrorKind::Changed:
    case StoreErrorKind::NoSuchRecord:
        return {MaintenanceResult::Kind::Changed, storeErrorMessage(error)};
    default:
        return {MaintenanceResult::Kind::Failed, storeErrorMessage(error)};
    }
}

} // namespace

bool scanResultFile(Context ctx, const RecordChunk& onChunk) {
    const StoreResult<std::int64_t> scanned = openResultStore(ctx)->scan(onChunk);
    if (!scanned)
        tell(ctx, scanned.error());
    return scanned.ok();
}

std::optional<QByteArray> readResultRecord(Context ctx, std::int64_t number) {
    StoreResult<QByteArray> record = openResultStore(ctx)->readRecord(number);
    if (!record) {
        tell(ctx, record.error());
        return std::nullopt;
    }
    return std::move(*record);
}

MaintenanceResult saveRecordChanges(Context ctx, std::int64_t number, const QByteArray& asRead,
                                    std::int16_t student, std::int32_t seconds) {
    return maintenanceResult(openResultStore(ctx)->patch(number, asRead, student, seconds));
}

MaintenanceResult deleteResultRecord(Context ctx, std::int64_t number, const QByteArray& asRead,
                                     const RewriteOptions& options) {
    std::unique_ptr<ResultStore> store = openResultStore(ctx);
    if (auto* files = dynamic_cast<FileResultStore*>(store.get()))
        files->setChunkRecords(options.chunkRecords);
    return maintenanceResult(store->remove(number, asRead));
}

std::optional<std::int64_t> takeCompletedDelete(Context ctx) {
    return openResultStore(ctx)->takeCompletedDelete();
}

} // namespace mirai
