// The few POSIX thread calls that the exception runtime of the posix thread
// model makes, for a program that runs a single thread: its locks guard
// nothing, and a thread-local value is simply the program's. The thread
// library would bring the C runtime DLL's threads, stdio and setjmp along.
#include <errno.h>
#include <pthread.h>

int pthread_once(pthread_once_t* once, void (*initialise)(void))
{
    if (!*once) {
        *once = 1;
        initialise();
    }
    return 0;
}

// The destructors would run when a thread ends; the one thread ends with the
// process, which frees everything.
static void* KeyValues[4];
static pthread_key_t KeyCount;

int pthread_key_create(pthread_key_t* key, void (*destructor)(void*))
{
    (void)destructor;
    if (KeyCount == sizeof KeyValues / sizeof KeyValues[0])
        return EAGAIN;
    *key = KeyCount++;
    return 0;
}

void* pthread_getspecific(pthread_key_t key)
{
    return KeyValues[key];
}

int pthread_setspecific(pthread_key_t key, const void* value)
{
    KeyValues[key] = (void*)value;
    return 0;
}

int pthread_mutex_init(pthread_mutex_t* mutex, const pthread_mutexattr_t* attributes)
{
    (void)mutex;
    (void)attributes;
    return 0;
}

int pthread_mutex_destroy(pthread_mutex_t* mutex)
{
    (void)mutex;
    return 0;
}

int pthread_mutex_lock(pthread_mutex_t* mutex)
{
    (void)mutex;
    return 0;
}

int pthread_mutex_unlock(pthread_mutex_t* mutex)
{
    (void)mutex;
    return 0;
}
