int runFormatEditTests(int, char **)
{
    return 0;
}
