#include "StoreMessages.h"

#include "FileSystem.h"

#include <cerrno>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

QString reason(const StoreError& error) {
    return systemErrorText(error.code != 0 ? error.code : EIO);
}

QString loadFailure(const StoreError& error) {
    const QString code = QString::number(error.code);
    const QString step = QString::number(loadStepNumber(error.step));
    QString text;
    if (error.code == ENOENT || error.code == ENOTDIR) {
        text = u"ファイルがありません"_s + step + reason(error) + code;
    } else {
        // The record fields stay empty: the window is read as a whole, before any record.
        text = u"成績ランダムファイル表示"_s + step + code + reason(error) + code + u"/date"_s + u"/i="_s +
               QString::number(error.record) + u"/time="_s + u"/name="_s + u"/Bangou="_s + u"/level="_s +
               u"/time="_s + u"line"_s + step;
    }
    return text + u"\r\n"_s + error.path;
}

QString appendFailure(const StoreError& error) {
    QString text = reason(error) + u"成績ランダムファイル記録"_s + u"\r\n"_s + error.path;
    if (error.stationCode != 0 || !error.stationPath.isEmpty()) {
        text += u"\r\nこの記録はこのコンピューターにも保存できなかったため、プログラムを終了します。\r\n"_s +
                (error.stationPath.isEmpty() ? u"この端末には記録を残すフォルダーがありません"_s
                                             : systemErrorText(error.stationCode));
        if (!error.stationPath.isEmpty())
            text += u"\r\n"_s + error.stationPath;
    }
    return text;
}

QString readFailure(const StoreError& error) {
    if (error.foreign)
        return u"解答の記録がこのプログラムより新しい形式で書かれているため、読み込めません。"
               u"プログラムを新しくしてください。\r\n"_s +
               error.path;
    return u"成績データを読み込めませんでした。\r\n"_s + error.path + u"\r\n"_s + reason(error);
}

// A correction or a delete that could not begin: nothing was written.
QString writeRefused(const StoreError& error) {
    if (error.kind == StoreErrorKind::Unreachable && error.step != StoreStep::Lock)
        return u"共有フォルダーに接続できないため、成績データを変更できません。何も変更していません。\r\n"_s +
               error.path + u"\r\n"_s + reason(error);
    if (error.step == StoreStep::Lock)
        return u"成績データのファイルをロックできませんでした。何も変更していません。\r\n"_s + error.path +
               u"\r\n"_s + reason(error);
    if (error.step == StoreStep::Open)
        return u"成績データのファイルを書き込み用に開けませんでした。何も変更していません。\r\n"_s +
               error.path + u"\r\n"_s + reason(error);
    return readFailure(error);
}

QString patchFailure(const StoreError& error) {
    if (error.step != StoreStep::Write && error.step != StoreStep::Flush && error.step != StoreStep::Close)
        return writeRefused(error);
    return u"記録を書き込めませんでした。"_s +
           (error.restored ? u"記録は元のままです。"_s : u"記録が元のままか確かめてください。"_s) +
           u"\r\n"_s + error.path + u"\r\n"_s + reason(error);
}

QString deleteFailure(const StoreError& error) {
    switch (error.step) {
    case StoreStep::Copy:
    case StoreStep::Intent:
        return u"控えのファイルを作れなかったので、消去していません。\r\n"_s + error.path + u"\r\n"_s +
               reason(error);
    case StoreStep::Write:
    case StoreStep::Truncate:
    case StoreStep::Flush: {
        const QString files = u"\r\n成績データ: "_s + error.path + u"\r\n原因: "_s + reason(error);
        if (error.restored)
            return u"消去の途中で書き込みに失敗したので、成績データを元に戻しました。何も消去していません。"_s +
                   files;
        return u"消去の途中で書き込みに失敗し、成績データを元に戻すこともできませんでした。"
               u"すべての記録は控えのファイルに残っています。次に成績データを開くときに、消去を最後まで行います。"_s +
               files;
    }
    case StoreStep::Remove:
    case StoreStep::Close:
        return u"記録は消去しましたが、後片付けができませんでした。次に成績データを開くときに片付けます。\r\n"_s +
               error.path + u"\r\n"_s + reason(error);
    default:
        return writeRefused(error);
    }
}

} // namespace

int loadStepNumber(StoreStep step) {
    switch (step) {
    case StoreStep::Open:
        return 3;
    case StoreStep::Lock:
    case StoreStep::Queue:
        return 4;
    case StoreStep::Size:
        return 5;
    case StoreStep::Read:
    case StoreStep::Check:
        return 7;
    case StoreStep::Write:
    case StoreStep::Flush:
    case StoreStep::Truncate:
    case StoreStep::Copy:
    case StoreStep::Intent:
        return 8;
    case StoreStep::Remove:
    case StoreStep::Close:
        return 9;
    }
    return 11;
}

QString storeErrorMessage(const StoreError& error) {
    switch (error.kind) {
    case StoreErrorKind::Ending:
        return {};
    case StoreErrorKind::Changed:
        return u"この記録はほかのところで変更されました。何も書き込まずに一覧を作り直します。"_s;
    case StoreErrorKind::NoSuchRecord:
        return u"この記録はもうありません。ほかのところで消去されたようです。一覧を作り直します。"_s;
    case StoreErrorKind::Unrecoverable:
        return u"前回の消去が途中で止まっていますが、控えのファイルが消去前の成績データと合わないため、"
               u"どちらもそのままにしてあります。二つのファイルを確かめてください。\r\n"_s +
               error.path;
    case StoreErrorKind::NotOwnSite:
        return u"この記録はほかの教室のものなので、変更も消去もできません。何も変更していません。"_s;
    case StoreErrorKind::NewerFormat:
        return u"成績データベースの形式がこのプログラムより新しいため、使えません。"
               u"プログラムを新しくしてください。何も読み書きしていません。\r\n"_s +
               error.path;
    case StoreErrorKind::NotSetUp:
        return u"成績データベースの形式が古いか、まだ作られていないため、使えません。"
               u"管理者が miraidrill --migrate を行ってください。何も読み書きしていません。\r\n"_s +
               error.path;
    case StoreErrorKind::Unreachable:
    case StoreErrorKind::Failed:
        break;
    }
    switch (error.operation) {
    case StoreOperation::Load:
    case StoreOperation::Replay:
        return loadFailure(error);
    case StoreOperation::Append:
        return appendFailure(error);
    case StoreOperation::Read:
    case StoreOperation::Scan:
    case StoreOperation::Recover:
        return readFailure(error);
    case StoreOperation::Patch:
        return patchFailure(error);
    case StoreOperation::Delete:
        return deleteFailure(error);
    }
    return readFailure(error);
}

QString keptOnStationMessage(const StoreError& why) {
    return u"成績ファイルに記録できませんでした。\r\n"
           u"この記録はこのコンピューターに保存しました。"
           u"共有フォルダーが使えるようになると、成績ファイルに追加されます。\r\n\r\n"_s +
           reason(why) + u"\r\n"_s + why.path;
}

QString completedDeleteMessage(std::int64_t record) {
    return u"前回の消去が途中で止まっていたので、最後まで行いました（記録番号 %1）。"_s.arg(record);
}

} // namespace mirai
