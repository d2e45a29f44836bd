#include <QTest>

#include "editor/AttributeCatalogue.h"

using corvane::attributeNameFor;

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    void namingRule_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first entry") << 0 << 16 << QString()
                                     << QStringLiteral("com.apple.metadata:kMDItemKeywords");
        QTest::newRow("Comment") << 2 << 16 << QString()
                                 << QStringLiteral("com.apple.metadata:kMDItemComment");
        QTest::newRow("last entry") << 15 << 16 << QString()
                                    << QStringLiteral("com.apple.metadata:kMDItemApplicationCategories");
        QTest::newRow("typed name, exactly as typed")
            << -1 << 16 << QStringLiteral(" my.name ") << QStringLiteral(" my.name ");
        QTest::newRow("typed prefix is not doubled")
            << -1 << 16 << QStringLiteral("Comment") << QStringLiteral("Comment");
        QTest::newRow("no selection, empty field") << -1 << 16 << QString() << QString();
        QTest::newRow("index equal to the count") << 16 << 16 << QString() << QString();
        QTest::newRow("index past a short list") << 3 << 2 << QString() << QString();
    }
    void namingRule()
    {
        QFETCH(int, index);
        QFETCH(int, count);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QCOMPARE(attributeNameFor(index, count, typed), expected);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
