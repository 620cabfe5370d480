#include <gtest/gtest.h>

#include <unordered_set>

#include "shared/catalog/FileTypeCatalog.h"

using namespace quillet;

TEST(FileTypeCatalog, TableHoldsSixteenUniqueTypesInDisplayOrder) {
    const auto& types = allTypes();
    ASSERT_EQ(types.size(), 16u);
    EXPECT_EQ(defaultOrder(), (std::vector<std::string>{"txt", "md", "rtf", "csv", "json", "yaml",
                                                        "xml", "html", "css", "js", "sh", "py",
                                                        "swift", "docx", "xlsx", "pptx"}));
    EXPECT_EQ(allIDs().size(), 16u);
    EXPECT_EQ(typesByID().size(), 16u);
    for (const auto& t : types) EXPECT_EQ(t.id, t.fileExtension);
    // rtf and csv are plain text, not code; xml and py share a symbol.
    EXPECT_EQ(fileType("rtf")->category, FileTypeCategory::plainText);
    EXPECT_EQ(fileType("csv")->category, FileTypeCategory::plainText);
    EXPECT_EQ(fileType("xml")->sfSymbolName, fileType("py")->sfSymbolName);
    EXPECT_EQ(fileType("pptx")->displayName, "PowerPoint Presentation");
    EXPECT_EQ(fileType("TXT"), nullptr);
}

TEST(FileTypeCatalog, CategoryRawValuesAreExact) {
    EXPECT_EQ(fileTypeCategoryFromRawValue("Plain Text"), FileTypeCategory::plainText);
    EXPECT_EQ(fileTypeCategoryFromRawValue("Code"), FileTypeCategory::code);
    EXPECT_EQ(fileTypeCategoryFromRawValue("Office"), FileTypeCategory::office);
    EXPECT_EQ(fileTypeCategoryFromRawValue("code"), std::nullopt);
    EXPECT_EQ(fileTypeCategoryFromRawValue("plainText"), std::nullopt);
    EXPECT_EQ(fileTypeCategoryFromRawValue(""), std::nullopt);
}

TEST(FileTypeDefinition, JsonRoundTripUsesExactlyTheFiveKeys) {
    for (const auto& type : allTypes()) {
        std::string json = encodeFileTypeDefinition(type);
        EXPECT_EQ(decodeFileTypeDefinition(json), type);
    }
    EXPECT_EQ(encodeFileTypeDefinition(*fileType("json")),
              R"({"id":"json","displayName":"JSON","fileExtension":"json","category":"Code","sfSymbolName":"curlybraces"})");
}

TEST(FileTypeDefinition, DecodingFailsOnMissingKeysAndUnknownCategories) {
    const std::string good =
        R"({"id":"x","displayName":"X","fileExtension":"x","category":"Code","sfSymbolName":"s"})";
    EXPECT_EQ(decodeFileTypeDefinition(good).category, FileTypeCategory::code);
    EXPECT_THROW(decodeFileTypeDefinition(R"({"id":"x","displayName":"X","fileExtension":"x","category":"code","sfSymbolName":"s"})"),
                 FileTypeDecodingError);
    EXPECT_THROW(decodeFileTypeDefinition(R"({"id":"x","displayName":"X","fileExtension":"x","category":"Code"})"),
                 FileTypeDecodingError);
    EXPECT_THROW(decodeFileTypeDefinition(R"({"id":1,"displayName":"X","fileExtension":"x","category":"Code","sfSymbolName":"s"})"),
                 FileTypeDecodingError);
    EXPECT_THROW(decodeFileTypeDefinition("[1,2]"), FileTypeDecodingError);
    EXPECT_THROW(decodeFileTypeDefinition("{not json"), FileTypeDecodingError);
}

TEST(FileTypeDefinition, EqualityAndHashCoverEveryField) {
    FileTypeDefinition a = *fileType("md");
    FileTypeDefinition b = a;
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::hash<FileTypeDefinition>{}(a), std::hash<FileTypeDefinition>{}(b));
    b.sfSymbolName = "other";
    EXPECT_NE(a, b);
    b = a;
    b.category = FileTypeCategory::code;
    EXPECT_NE(a, b);
    std::unordered_set<FileTypeDefinition> set(allTypes().begin(), allTypes().end());
    EXPECT_EQ(set.size(), 16u);
}

TEST(FileTypeCatalog, OrderingSkipsUnknownIdsAndKeepsDuplicates) {
    auto ids = [](const std::vector<FileTypeDefinition>& types) {
        std::vector<std::string> out;
        for (const auto& t : types) out.push_back(t.id);
        return out;
    };
    EXPECT_EQ(ids(orderedFileTypes({"md", "nope", "txt", "md"})),
              (std::vector<std::string>{"md", "txt", "md"}));
    EXPECT_EQ(ids(enabledFileTypesInOrder(defaultOrder(), allIDs())), defaultOrder());
    EXPECT_TRUE(enabledFileTypesInOrder(defaultOrder(), {}).empty());
    EXPECT_EQ(ids(enabledFileTypesInOrder({"py", "css", "txt"}, {"txt", "py", "ghost", "CSS"})),
              (std::vector<std::string>{"py", "txt"}));
}
