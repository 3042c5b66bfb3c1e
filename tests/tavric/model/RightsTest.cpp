// Access rights: default rights, the parent's identity entry, per-user entries and user 3.

#include <gtest/gtest.h>

#include "TavricFixture.hpp"

using namespace zul;

namespace {

using Rights = tavrictest::Document;

TEST_F(Rights, PrivateFieldRefusesThePublicUserButNotItsParent)
{
    Tavric& secret = root["secret"];
    secret.setDefaultRights(rightsPrivate);
    const int parentUser = static_cast<int>(root.getIdentity());

    EXPECT_FALSE(secret.setInt(1));
    EXPECT_EQ("private [].secret : Permission denied. Cannot perform 'write' operation. Public user rights are "
              "insufficient.\n",
              lastLine());
    EXPECT_EQ(ErrorPermission, root.lastError());
    EXPECT_EQ(&nullField, &secret["below"]);
    EXPECT_EQ("private [].secret : Permission denied. Cannot perform 'access' operation. Public user rights are "
              "insufficient.\n",
              lastLine());
    EXPECT_EQ(secret.childrenEnd(), secret.childrenBegin());

    EXPECT_TRUE(secret.setInt(7, parentUser));
    EXPECT_EQ(7, secret.getInt(parentUser));
    ASSERT_NE(&nullField, &secret.child("below", parentUser));
    EXPECT_NE(secret.childrenEnd(), secret.childrenBegin(parentUser));
    EXPECT_EQ(secret.childrenEnd(), secret.childrenBegin(publicUser));

    EXPECT_EQ(0, secret.getInt());
    EXPECT_EQ("private [].secret : Permission denied. Cannot perform 'read' operation. Public user rights are "
              "insufficient.\n",
              lastLine());
}

TEST_F(Rights, LookupIsJudgedOnTheFieldLookedIn)
{
    Tavric& hidden = root["hidden"];
    hidden.setDefaultRights(rightsPrivate);
    EXPECT_EQ(&hidden, &root["hidden"]);
    EXPECT_EQ(ErrorNone, root.lastError());
}

TEST_F(Rights, LockedProtectedAndLimited)
{
    Tavric& locked = root["locked"];
    TavricAccess::storeInt(locked, 1);
    locked.setDefaultRights(rightsLocked);
    EXPECT_EQ(0, locked.getInt());
    EXPECT_EQ("locked [].locked : Permission denied. Cannot perform 'read' operation. Public user rights are "
              "insufficient.\n",
              lastLine());
    EXPECT_TRUE(locked.hasRight(publicUser, RightExecute));

    Tavric& guarded = root["guarded"];
    TavricAccess::storeInt(guarded, 2);
    guarded.setDefaultRights(rightsProtected);
    EXPECT_EQ(2, guarded.getInt());
    EXPECT_FALSE(guarded.setInt(3));
    EXPECT_EQ(2, guarded.getInt());

    // limited[f4]: the parent may do everything, everybody else only read.
    Tavric& limited = root["limited"];
    TavricAccess::storeInt(limited, 4);
    limited.setParentRights(0xf);
    limited.setDefaultRights(0x4);
    const int parentUser = static_cast<int>(root.getIdentity());
    EXPECT_EQ(4, limited.getInt());
    EXPECT_FALSE(limited.setInt(5));
    EXPECT_EQ("limited[F4] [].limited : Permission denied. Cannot perform 'write' operation. Public user rights are "
              "insufficient.\n",
              lastLine());
    EXPECT_TRUE(limited.setInt(5, parentUser));
    EXPECT_EQ(5, limited.getInt());
}

TEST_F(Rights, ParentEntryFollowsTheParentsIdentity)
{
    Tavric& middle = root["middle"];
    Tavric& leaf = middle["leaf"];
    leaf.setDefaultRights(rightsPrivate);
    const int middleUser = static_cast<int>(middle.getIdentity());
    int word = 0;
    ASSERT_TRUE(leaf.getUserRights(middleUser, word));
    EXPECT_EQ(15, word);
    EXPECT_FALSE(leaf.getUserRights(static_cast<int>(root.getIdentity()), word));
    EXPECT_TRUE(leaf.setInt(1, middleUser));
    EXPECT_FALSE(leaf.setInt(1, static_cast<int>(root.getIdentity())));
}

TEST_F(Rights, UserEntriesAndTheirNames)
{
    Tavric& shared = root["shared"];
    TavricAccess::storeInt(shared, 8);
    shared.setDefaultRights(rightsPrivate);
    const int alice = dictionary.idOf("Alice");
    shared.setUserRights(alice, RightRead);
    EXPECT_EQ(2u, shared.userRightsCount());
    EXPECT_EQ(8, shared.getInt(alice));
    EXPECT_FALSE(shared.setInt(9, alice));
    EXPECT_EQ("private restricted [].shared : Permission denied. Cannot perform 'write' operation. User 'Alice' "
              "rights are insufficient.\n",
              lastLine());
    // A user number without a name prints as the public user.
    EXPECT_FALSE(shared.setInt(9, 12345));
    EXPECT_EQ("private restricted [].shared : Permission denied. Cannot perform 'write' operation. Public user "
              "rights are insufficient.\n",
              lastLine());
    EXPECT_TRUE(shared.removeUserRights(alice));
    EXPECT_EQ(1u, shared.userRightsCount());
    EXPECT_EQ(0, shared.getInt(alice));
}

TEST_F(Rights, AccessMeansAnyRight)
{
    Tavric& field = root["f"];
    field.setDefaultRights(RightExecute);
    EXPECT_TRUE(field.hasRight(publicUser, RightAccess));
    EXPECT_FALSE(field.hasRight(publicUser, RightRead | RightWrite));
    field.setDefaultRights(RightWrite);
    EXPECT_TRUE(field.hasRight(publicUser, RightRead | RightWrite));
    field.setDefaultRights(0);
    EXPECT_FALSE(field.hasRight(publicUser, RightAccess));
}

TEST_F(Rights, SystemUserOnlyDuringTheResolutionOfItsField)
{
    root.setDefaultRights(rightsPrivate);
    Tavric& child = root.child("child", systemUser);
    EXPECT_EQ(&nullField, &child);
    root.setSystemAccess(true);
    EXPECT_TRUE(root.hasRight(systemUser, RightCreate));
    Tavric& created = root.child("child", systemUser);
    ASSERT_NE(&nullField, &created);
    created.setDefaultRights(rightsPrivate);
    EXPECT_FALSE(created.hasRight(systemUser, RightRead));
    EXPECT_TRUE(root.finalize());
    EXPECT_FALSE(root.hasSystemAccess());
    EXPECT_FALSE(root.hasRight(systemUser, RightRead));
}

} // namespace
