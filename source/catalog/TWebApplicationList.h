#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TWebApplicationClass;
class TWebCategoryClass;

// Every catalog application read since the program started, one object per catalog
// number, in the order they were first read. Every catalog list (What's New, Recommended,
// Popular, Highest Rated, a category's content, search results) is read into this one
// store; a list that names a known application reuses its object, so all views share it.
//
// The catalog list file (element and attribute names are case-sensitive):
//
//   <webapplications>                                  document element
//     <webapp nid="1042" cat_id="31">                  one application; both required
//       <description>
//         <title>..</title> <tagline>..</tagline> <maindescription>..</maindescription>
//       </description>
//       <links>
//         <main_url>..</main_url> <signup_url>..</signup_url>
//         <login_url>..</login_url> <app_url>..</app_url>
//       </links>
//       <images> <thumbnail_url>..</thumbnail_url> <screenshot_url>..</screenshot_url> </images>
//       <browser ie="True" firefox="True" opera="False" safari="True"/>
//       <rating userrating="4.5" popularity="4.25"/>
//       <price cost="Free"/>
//       <options wizard="False" premium="True"/>
//       <dateadded>1199145600</dateadded>
//     </webapp>
//   </webapplications>
//
// - nid and cat_id are decimal 32-bit integers (optional sign, blanks around them allowed).
//   A webapp whose nid or cat_id is not one, whose cat_id is -1 or whose nid is negative
//   is skipped.
// - Element texts are taken verbatim (all text and CDATA inside the element); a missing
//   element or attribute leaves its field at the default (empty, false, 0).
// - Flags (browser, options) are true only for the exact text "True".
// - userrating and popularity (both 0 to 5) are decimal numbers with "." whatever the user's locale;
//   anything else counts as 0.
// - dateadded is seconds since 1970-01-01 00:00 (a fraction and an exponent are read too);
//   it becomes DateAdded = seconds / 86400 + 25569, a day count shown as local time with no
//   time-zone shift, and text that is not a number counts as 0 seconds.
// - Of each group (description, links, images, browser, rating, price, options,
//   dateadded) and of each element inside one, only the first of that name counts.
//   Elements elsewhere and other elements are ignored.
class TWebApplicationList final
{
public:
    // Plain references in the order a list file named them.
    using Applications = std::vector<TWebApplicationClass*>;

    TWebApplicationList();
    ~TWebApplicationList();

    TWebApplicationList(const TWebApplicationList&) = delete;
    TWebApplicationList& operator=(const TWebApplicationList&) = delete;

    // Creates an application with this number and category and appends it to Items.
    // Numbers are not checked for duplicates; FindById answers the first.
    TWebApplicationClass& Add(int32_t id, TWebCategoryClass* category);

    // Reads one catalog list file and merges it into the store, in document order:
    // - an application already known keeps everything it has, except its category, which
    //   follows this file (OnGetCategory's answer, null included; kept as it is when
    //   OnGetCategory is not set);
    // - a new application is added and read in full only when OnGetCategory knows its
    //   category;
    // - both kinds are appended to targetList, when given, in document order.
    // A file that cannot be read, is not well-formed XML or is not a catalog list changes
    // nothing and raises nothing. After a file that is a catalog list, OnListChanged is
    // raised; an exception it throws is swallowed.
    // False when the file is no application list that could be read (too large, malformed,
    // another document): nothing of it was taken.
    bool LoadFromFile(const QString& fileName, Applications* targetList = nullptr);

    // A catalog list file read but not yet merged: what LoadFromFile does in two halves, so that
    // the reading, which takes the time, can run on any thread and only the merge on the
    // store's own.
    struct FileRead
    {
        struct Entry
        {
            int32_t Id;
            int32_t CategoryId;
            // Read in full; taken when the application is new to the store.
            std::unique_ptr<TWebApplicationClass> Details;
        };
        // False when the file is no application list that could be read.
        bool IsList = false;
        // Whether it has a webapp element with both numbers, usable or not.
        bool HasWebApp = false;
        // The webapp entries with a usable number and category, in document order.
        std::vector<Entry> Entries;

        FileRead();
        FileRead(FileRead&&) noexcept;
        FileRead& operator=(FileRead&&) noexcept;
        ~FileRead();
    };
    // Touches no store: safe on any thread.
    static FileRead ReadFile(const QString& fileName);
    // Merges a read file as LoadFromFile does and answers what it would.
    bool Merge(FileRead read, Applications* targetList = nullptr);

    // Throws EMorvalenError "Index out of range!" outside 0..Count-1.
    TWebApplicationClass& Items(int index) const;
    int Count() const { return int(m_items.size()); }

    // The first application with this number; null when there is none or id is negative.
    TWebApplicationClass* FindById(int32_t id) const;

    // How many applications belong to exactly this category object.
    int CountInCategory(const TWebCategoryClass* category) const;

    // Frees every application.
    void Clear();

    // Asks OnGetCategory again for every application's CategoryId, then raises
    // OnListChanged. Call it after the category tree was reloaded: the applications lost
    // their categories with the old tree.
    void ResolveCategories();

    // The list being filled by the running LoadFromFile; null otherwise.
    Applications* TargetList() const { return m_targetList; }

    // The owner turns a category number into its category (null for an unknown number).
    std::function<TWebCategoryClass*(TWebApplicationList& sender, int32_t categoryId)> OnGetCategory;
    // Raised after each catalog list file was read and after ResolveCategories.
    std::function<void(TWebApplicationList& sender)> OnListChanged;

private:
    void RaiseListChanged();

    std::vector<std::unique_ptr<TWebApplicationClass>> m_items;
    // The first application of each number: merging a list costs one lookup per entry.
    QHash<int32_t, TWebApplicationClass*> m_firstById;
    Applications* m_targetList = nullptr;
};
