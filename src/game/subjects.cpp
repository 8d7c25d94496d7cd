// subjects.cpp: the email subject tables and c_MyGame::p_ReadEmail.
//
// Owns the two constant tables of 51 subject lines (ordinary mail and spam)
// that play releases as falling letters when an email is read. The texts are
// 16-bit game text; the pound sign is the single unit 163. Depends on the
// framework's shared random generator (bb_zolt_Rand).
#include "framework/state.h"
#include "game/game.h"

// Constants

// Ordinary mail: chatty, social and shopping notices.
const char16_t* const kMailSubjects[kSubjectCount] = {
    u"Someone Retweeted You",               // 0
    u"Somebody posted on Facebook",         // 1
    u"Somebody replied on Facebook",        // 2
    u"You have 1,248 updates on LinkedIn",  // 3
    u"I like Cats",                         // 4
    u"Here is a Cat photo",                 // 5
    u"My Silly Dog",                        // 6
    u"Haha.  LOL",                          // 7
    u"I found this.",                       // 8
    u"Hello from Mum",                      // 9
    u"Is this real?",                       // 10
    u"I'm in town",                         // 11
    u"Should I buy this?",                  // 12
    u"Zelda is Awesome",                    // 13
    u"Can't wait for Sonic",                // 14
    u"I think I broke it.",                 // 15
    u"Is Insurance worth it?",              // 16
    u"My experience with this.",            // 17
    u"How do I Jailbreak?",                 // 18
    u"Nintendo News",                       // 19
    u"Nice!!",                              // 20
    u"New NES/Famicom book",                // 21
    u"Question!",                           // 22
    u"Traffic is Awful",                    // 23
    u"Android File Explorer?",              // 24
    u"What is this game like?",             // 25
    u"Should I buy one?",                   // 26
    u"Comment on Your Blog",                // 27
    u"Comment on YouTube",                  // 28
    u"The Chicken Report",                  // 29
    u"Microsoft are idiots!",               // 30
    u"Your Password has been Changed",      // 31
    u"Forgot your Password?",               // 32
    u"Keyboard Usage",                      // 33
    u"I need a holiday.",                   // 34
    u"Have you tried this?",                // 35
    u"A Game Idea",                         // 36
    u"How is the new game?",                // 37
    u"(no subject)",                        // 38
    u"'sup?",                               // 39
    u"Confirmation of your Order",          // 40
    u"Zeldaaaaaaaa",                        // 41
    u"Which Sponge Should I Use?",          // 42
    u"What are you eating?",                // 43
    u"My camera is broken",                 // 44
    u"Today's Hello",                       // 45
    u"I read about this",                   // 46
    u"Five Years On",                       // 47
    u"Your Order has been Dispatched",      // 48
    u"Somebody is now Following you",       // 49
    u"Which one should I buy?",             // 50
};

// Spam.
const char16_t* const kSpamSubjects[kSubjectCount] = {
    u"Enjoy your free Sunbed",            // 0
    u"Outstanding Web Presence",          // 1
    u"Win John Lewis Vouchers",           // 2
    u"EuroMillions Rollover!",            // 3
    u"Boost your Business",               // 4
    u"Great New Mobile Game",             // 5
    u"Please Contact Us",                 // 6
    u"Private Invitation",                // 7
    u"Returned Email Message",            // 8
    u"Enjoy Find The Girl You Want",      // 9
    u"Congrats!  You Win a Voucher",      // 10
    u"Two Courses for One",               // 11
    u"Walmart Reward",                    // 12
    u"Free Tesco Vouchers",               // 13
    u"Increase Organic Traffic",          // 14
    u"Confirm Your \u00a3100 Giftcard",   // 15
    u"This is a Superb App",              // 16
    u"Your Creative Work",                // 17
    u"Attn; Beneficiary",                 // 18
    u"A Little Touch of Wildness",        // 19
    u"Promote Your App",                  // 20
    u"ATM Package Delivery Notice",       // 21
    u"Amazon Delivery Notice",            // 22
    u"What Kind of Adult Are You?",       // 23
    u"Higher Revenue From Your Site",     // 24
    u"Advantages of App Development",     // 25
    u"Don't miss Happy Hour",             // 26
    u"I am a Nigerian Prince",            // 27
    u"Amazing Marketing Tips",            // 28
    u"PLAY naughty GAMES",                // 29
    u"Get 10% more Downloads",            // 30
    u"Get REAL Reviews for your App",     // 31
    u"Your \u00a31,000 TESCO gift card",  // 32
    u"New Phone has Arrived",             // 33
    u"Expand Online Presence",            // 34
    u"20% off - Early Bird Sale",         // 35
    u"Seriously, get this voucher!",      // 36
    u"Russian Women Online",              // 37
    u"You Have 1 New Message",            // 38
    u"Your FUND has Been Released",       // 39
    u"Generate Online Leads",             // 40
    u"(no subject)",                      // 41
    u"P3N15 EN14R6EM3NT",                 // 42
    u"Content Strategy",                  // 43
    u"Managing Your Personal Finances",   // 44
    u"FedEx Interational N7636",          // 45
    u"Western Union Money Transfer",      // 46
    u"Contribute To Your Site?",          // 47
    u"Gamer Quiz - Rewards",              // 48
    u"I NEED TO DISCUSS WITH YOU",        // 49
    u"7428456",                           // 50
};

// Public operations

String c_MyGame::p_ReadEmail(int table) {
    // The index is drawn before the table is looked at, so every read advances
    // the generator by the same step whatever the table.
    const int index = bb_zolt_Rand(0, kSubjectCount - 1);
    if (table == kTableMail) return kMailSubjects[index];
    if (table == kTableSpam) return kSpamSubjects[index];
    return String();
}
